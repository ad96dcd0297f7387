#pragma once

// Sending one record to every number of a recipients text, as the Send
// command does: blanks and tabs removed, the text split at ';', empty pieces
// skipped, one SendSettings per number in order, stopping at the first
// number whose send does not return 0.

#include "EmailSettings.h"
#include "PhoneLink.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mailvane::phone {

struct SendingOutcome
{
    bool sent = true;            // every number was sent, and there was one at least
    HRESULT lastStatus = 0;      // of the last SendSettings call
    std::size_t numbersSent = 0; // before the loop stopped
};

// Called before each number: (1-based index, count, number).
using RecipientProgress = std::function<void(std::size_t, std::size_t, const std::string&)>;

// Sends `record` to each of `numbers` through `link`; `record.to` holds each
// number during its send and is absent afterwards. No numbers at all is not
// sent (its text is strings::NoRecipientsMessage).
SendingOutcome sendToRecipients(PhoneLink& link, settings::EmailSettings& record,
                                const std::vector<std::string>& numbers, std::string_view pin,
                                const RecipientProgress& progress = {});

// The text that reports an outcome to the operator, from the string table.
std::string_view outcomeText(const SendingOutcome& outcome);

} // namespace mailvane::phone
