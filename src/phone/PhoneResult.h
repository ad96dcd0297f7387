#pragma once

// A phone call's verdict as a value: the status, the plain words for it and
// the service's own account. A back end returns it, the phone service passes
// it on and the phone link hands it to whoever reports it; nothing about a
// failure is kept aside for a later call to ask for, so the cause survives
// however the back end was loaded.

#include "Com.h"

#include <chrono>
#include <string>
#include <string_view>

namespace mailvane::phone {

struct PhoneResult
{
    platform::HRESULT status = platform::S_OK;
    // Plain words from the string table: "the phone refused the message";
    // empty unless the status is a failure.
    std::string cause;
    // The service's own account (the device and the phone library's error, a
    // gateway's address and answer), one line of UTF-8 without passwords;
    // empty when it gave none.
    std::string detail;

    PhoneResult() = default;
    // `status` with the words for it and `detail` made one line. Implicit, so
    // that a call with nothing to add returns a bare status.
    PhoneResult(platform::HRESULT status, std::string_view detail = {});

    bool succeeded() const { return platform::SUCCEEDED(status); }
    bool failed() const { return platform::FAILED(status); }
};

// One push's verdict: where in it a failure happened as well.
struct SendResult : PhoneResult
{
    unsigned message = 0;      // the message that failed, from 1; 0 before any was handed over
    unsigned messageCount = 0; // of the push, when message is not 0
};

// The plain words for a status a call returned.
std::string causeOfStatus(platform::HRESULT status);

// Whether `status` says that no phone or gateway could be reached at all
// (as opposed to one that answered with a refusal or too late).
bool isUnreachable(platform::HRESULT status);

// The cause, the detail in parentheses, and where in the push it happened:
// "the gateway refused the message (...) at message 1 of 6".
std::string describeFailure(const SendResult& failure);

// `text` as one line of valid UTF-8 of at most `limit` bytes: control
// characters become blanks, broken sequences U+FFFD, a longer text is cut at a
// character boundary.
std::string oneLine(std::string_view text, std::size_t limit = 300);

// A time limit as a service's account states it: "20 seconds", "300 ms".
std::string durationText(std::chrono::milliseconds duration);

} // namespace mailvane::phone
