#include "SendingLoop.h"

#include "StringTable.h"

namespace mailvane::phone {

SendingOutcome sendToRecipients(PhoneLink& link, settings::EmailSettings& record,
                                const std::vector<std::string>& numbers, std::string_view pin,
                                const RecipientProgress& progress)
{
    SendingOutcome outcome;
    // Sending to nobody is not a success to report.
    outcome.sent = !numbers.empty();
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (progress)
            progress(i + 1, numbers.size(), numbers[i]);
        record.to = numbers[i];
        link.setSettings(&record);
        outcome.lastStatus = link.SendSettings(pin);
        outcome.sent = outcome.lastStatus == platform::S_OK;
        if (!outcome.sent)
            break;
        ++outcome.numbersSent;
    }
    record.to.reset();
    return outcome;
}

std::string_view outcomeText(const SendingOutcome& outcome)
{
    using namespace settings;
    if (outcome.sent)
        return stringText(strings::SettingsSentMessage);
    if (outcome.numbersSent == 0 && outcome.lastStatus == platform::S_OK)
        return stringText(strings::NoRecipientsMessage); // no send was made
    return stringText(outcome.lastStatus == platform::E_FAIL ? strings::SendingErrorMessage
                                                             : strings::PhoneNotConnectedMessage);
}

} // namespace mailvane::phone
