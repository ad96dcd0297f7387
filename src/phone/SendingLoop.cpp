#include "SendingLoop.h"

namespace mailvane::phone {

SendingOutcome sendToRecipients(PhoneLink& link, settings::EmailSettings& record,
                                const std::vector<std::string>& numbers, std::string_view pin,
                                const RecipientProgress& progress)
{
    SendingOutcome outcome;
    outcome.numberCount = numbers.size();
    // Sending to nobody is not a success to report.
    outcome.sent = !numbers.empty();
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (progress)
            progress(i + 1, numbers.size(), numbers[i]);
        record.to = numbers[i];
        link.setSettings(&record);
        SendResult result = link.SendSettings(pin);
        outcome.lastStatus = result.status;
        outcome.sent = outcome.lastStatus == platform::S_OK;
        if (!outcome.sent) {
            outcome.failedNumber = numbers[i];
            outcome.failure = std::move(result);
            outcome.notTried.assign(numbers.begin() + std::ptrdiff_t(i) + 1, numbers.end());
            break;
        }
        ++outcome.numbersSent;
    }
    record.to.reset();
    return outcome;
}

} // namespace mailvane::phone
