#include "SendingLoop.h"

#include <cstdio>

namespace mailvane::phone {
namespace {

using namespace settings::strings;
using settings::stringText;

std::string failedNumberLine(const SendingOutcome& outcome)
{
    const SendFailure& failure = outcome.failure;
    std::string cause = failure.cause;
    if (!failure.detail.empty())
        cause += " (" + failure.detail + ")";
    if (failure.message == 0)
        return stringText(NumberFailedLine, {outcome.failedNumber, cause});
    return stringText(NumberFailedAtMessageLine,
                      {outcome.failedNumber, std::to_string(failure.message),
                       std::to_string(failure.messageCount), cause});
}

std::string notTriedList(const std::vector<std::string>& numbers, std::size_t listed)
{
    std::string list;
    for (std::size_t i = 0; i < numbers.size() && i < listed; ++i)
        list += (i == 0 ? "" : ", ") + numbers[i];
    if (numbers.size() > listed)
        list += (listed == 0 ? "" : " ") +
                stringText(MoreNumbers, {std::to_string(numbers.size() - listed)});
    return list;
}

// Nothing went out because nothing could be reached: the phone (or gateway)
// failed before or at the first message of the first number.
bool reachedNothing(const SendingOutcome& outcome)
{
    return outcome.numbersSent == 0 && outcome.failure.message <= 1 &&
           isUnreachable(outcome.lastStatus);
}

} // namespace

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
        outcome.lastStatus = link.SendSettings(pin);
        outcome.sent = outcome.lastStatus == platform::S_OK;
        if (!outcome.sent) {
            outcome.failedNumber = numbers[i];
            outcome.failure = link.lastFailure();
            outcome.notTried.assign(numbers.begin() + std::ptrdiff_t(i) + 1, numbers.end());
            break;
        }
        ++outcome.numbersSent;
    }
    record.to.reset();
    return outcome;
}

OutcomeReport reportOutcome(const SendingOutcome& outcome, std::size_t listed)
{
    if (outcome.sent)
        return {SendingSuccessfulCaption, std::string(stringText(SettingsSentMessage)), false};
    if (outcome.numbersSent == 0 && outcome.lastStatus == platform::S_OK)
        return {RecipientsMissingCaption, std::string(stringText(NoRecipientsMessage)), true};
    if (reachedNothing(outcome)) {
        std::string text(stringText(PhoneNotConnectedMessage));
        // Which gateway, or what the phone library said, is worth knowing.
        if (!outcome.failure.detail.empty())
            text += "\n\n" + failedNumberLine(outcome);
        return {SendingFailedCaption, text, true};
    }
    std::string text(stringText(SendingErrorMessage));
    text += "\n\n" + failedNumberLine(outcome);
    text += "\n" + stringText(SentBeforeLine, {std::to_string(outcome.numbersSent),
                                               std::to_string(outcome.numberCount)});
    if (!outcome.notTried.empty())
        text += "\n" + stringText(NotTriedLine, {notTriedList(outcome.notTried, listed)});
    return {SendingFailedCaption, text, true};
}

std::string outcomeLine(const SendingOutcome& outcome)
{
    if (outcome.sent)
        return {};
    std::string line;
    for (const char c : reportOutcome(outcome, std::numeric_limits<std::size_t>::max()).text) {
        if (c != '\n')
            line += c;
        else if (!line.ends_with(' '))
            line += ' ';
    }
    if (outcome.lastStatus != platform::S_OK) {
        char code[32];
        std::snprintf(code, sizeof code, " (status 0x%08X)",
                      static_cast<unsigned>(outcome.lastStatus));
        line += code;
    }
    return line;
}

} // namespace mailvane::phone
