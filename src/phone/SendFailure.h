#pragma once

// Why one number's send failed, in words for the operator: kept by the phone
// link for its last send and carried by the sending loop to whoever reports
// the outcome.

#include "Com.h"

#include <chrono>
#include <string>
#include <string_view>

namespace mailvane::phone {

struct SendFailure
{
    platform::HRESULT status = platform::S_OK;
    // Plain words from the string table: "the phone refused the message".
    std::string cause;
    // The service's own account (a gateway's answer, the phone library's
    // error), one line of UTF-8 text; empty when it gave none.
    std::string detail;
    unsigned message = 0;      // the message that failed, from 1; 0 before any was handed over
    unsigned messageCount = 0; // of the push, when message is not 0
};

// The plain words for a status a send returned.
std::string causeOfStatus(platform::HRESULT status);

// Whether `status` says that no phone or gateway could be reached at all
// (as opposed to one that answered with a refusal or too late).
bool isUnreachable(platform::HRESULT status);

// The cause, the detail in parentheses, and where in the push it happened:
// "the gateway refused the message (...) at message 1 of 6".
std::string describeFailure(const SendFailure& failure);

// `text` as one line of valid UTF-8 of at most `limit` bytes: control
// characters become blanks, broken sequences U+FFFD, a longer text is cut at a
// character boundary.
std::string oneLine(std::string_view text, std::size_t limit = 300);

// A time limit as a service's account states it: "20 seconds", "300 ms".
std::string durationText(std::chrono::milliseconds duration);

} // namespace mailvane::phone
