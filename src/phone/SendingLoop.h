#pragma once

// Sending one record to every number of a list, as the Send command does:
// one SendSettings per number in order, stopping at the first number whose
// send does not return 0, and the one message that reports how it went.

#include "EmailSettings.h"
#include "PhoneLink.h"
#include "PhoneResult.h"
#include "StringTable.h"

#include <cstddef>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace mailvane::phone {

struct SendingOutcome
{
    bool sent = true;                  // every number was sent, and there was one at least
    HRESULT lastStatus = 0;            // of the last SendSettings call
    std::size_t numbersSent = 0;       // before the loop stopped
    std::size_t numberCount = 0;       // in the list
    std::string failedNumber;          // the number whose send stopped the loop
    SendResult failure;                // why, as the link said
    std::vector<std::string> notTried; // after the failed number, in order
};

// Called before each number: (1-based index, count, number).
using RecipientProgress = std::function<void(std::size_t, std::size_t, const std::string&)>;

// Sends `record` to each of `numbers` through `link`; `record.to` holds each
// number during its send and is absent afterwards. No numbers at all is not
// sent (its text is strings::NoRecipientsMessage).
SendingOutcome sendToRecipients(PhoneLink& link, settings::EmailSettings& record,
                                const std::vector<std::string>& numbers, std::string_view pin,
                                const RecipientProgress& progress = {});

// The one message that reports an outcome to the operator, from the string
// table; its text is UTF-8 with '\n' between lines.
struct OutcomeReport
{
    settings::StringId caption = 0;
    std::string text;
    bool warning = true;
};

// Success; no number to send to; "Phone isn't connected." when no phone or
// gateway could be reached before anything was sent; otherwise the sending
// error sentence followed by the number that failed with the cause, how many
// numbers went before it and which were not tried (the first `listed` of
// them named, the rest counted).
OutcomeReport reportOutcome(const SendingOutcome& outcome, std::size_t listed = 10);

// The same facts on one line for a terminal, with every number not tried and
// the status code; empty for a success.
std::string outcomeLine(const SendingOutcome& outcome);

} // namespace mailvane::phone
