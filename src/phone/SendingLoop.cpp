#include "SendingLoop.h"

#include "PhoneStatus.h"

#include <algorithm>
#include <cstdio>

namespace mailvane::phone {
namespace {

using namespace settings::strings;
using settings::stringText;

std::string failedNumberLine(const SendingOutcome& outcome)
{
    const SendResult& failure = outcome.failure;
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

// The message box grows as wide as its longest line, and a gateway's URL
// with its answer makes a long one: lines are broken at blanks instead.
constexpr std::size_t MaxLineCharacters = 80;

std::size_t characterCount(std::string_view text)
{
    // UTF-8 continuation bytes do not start a character.
    return std::size_t(std::ranges::count_if(
        text, [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// Where to break `line`: the last blank within the width, else the first
// after it; npos when it fits or has no blank.
std::size_t breakAt(std::string_view line)
{
    if (characterCount(line) <= MaxLineCharacters)
        return std::string_view::npos;
    std::size_t characters = 0;
    std::size_t lastFitting = std::string_view::npos;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80)
            ++characters;
        if (line[i] != ' ')
            continue;
        if (characters <= MaxLineCharacters + 1)
            lastFitting = i;
        else
            return lastFitting != std::string_view::npos ? lastFitting : i;
    }
    return lastFitting;
}

std::string wrapped(std::string_view text)
{
    std::string out;
    for (;;) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        for (std::size_t at = breakAt(line); at != std::string_view::npos; at = breakAt(line)) {
            out.append(line.substr(0, at)) += '\n';
            line.remove_prefix(at + 1);
        }
        out += line;
        if (end == std::string_view::npos)
            return out;
        out += '\n';
        text.remove_prefix(end + 1);
    }
}

// Nothing went out because nothing could be reached: the phone (or gateway)
// failed before or at the first message of the first number.
bool reachedNothing(const SendingOutcome& outcome)
{
    return outcome.numbersSent == 0 && outcome.failure.message <= 1 &&
           isUnreachable(outcome.lastStatus);
}

// The report with its lines as long as they come.
OutcomeReport composeReport(const SendingOutcome& outcome, std::size_t listed)
{
    if (outcome.sent)
        return {SendingSuccessfulCaption, std::string(stringText(SettingsSentMessage)), false};
    if (outcome.numbersSent == 0 && outcome.lastStatus == platform::S_OK)
        return {RecipientsMissingCaption, std::string(stringText(NoRecipientsMessage)), true};
    if (reachedNothing(outcome)) {
        // A gateway is not a phone: the line below names its address.
        std::string text(stringText(outcome.lastStatus == E_GATEWAY_UNREACHABLE
                                        ? GatewayUnreachableMessage
                                        : PhoneNotConnectedMessage));
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

OutcomeReport reportOutcome(const SendingOutcome& outcome, std::size_t listed)
{
    OutcomeReport report = composeReport(outcome, listed);
    report.text = wrapped(report.text);
    return report;
}

std::string outcomeLine(const SendingOutcome& outcome)
{
    if (outcome.sent)
        return {};
    std::string line;
    for (const char c : composeReport(outcome, std::numeric_limits<std::size_t>::max()).text) {
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
