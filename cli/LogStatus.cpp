#include "LogStatus.h"

#include "DeliveryReport.h"
#include "SendLog.h"

#include <algorithm>

namespace mailvane::cli {
namespace {

std::optional<NumberState> stateOfWord(std::string_view word)
{
    if (word == LogSentWord)
        return NumberState::NoReport;
    if (word == LogFailedWord)
        return NumberState::Failed;
    if (word == LogSkippedWord)
        return NumberState::Skipped;
    if (word == LogStartedWord)
        return NumberState::Uncertain;
    switch (phone::deliveryStateFromWord(word).value_or(phone::DeliveryState::NoReport)) {
    case phone::DeliveryState::Accepted:
        return NumberState::Accepted;
    case phone::DeliveryState::Delivered:
        return NumberState::Delivered;
    case phone::DeliveryState::NotDelivered:
        return NumberState::NotDelivered;
    case phone::DeliveryState::NoReport:
        break;
    }
    return std::nullopt;
}

} // namespace

std::size_t LogStatus::count(NumberState state) const
{
    return static_cast<std::size_t>(std::ranges::count_if(
        states, [state](const auto& entry) { return entry.second == state; }));
}

std::vector<std::string> LogStatus::numbersIn(NumberState state) const
{
    std::vector<std::string> found;
    for (const std::string& number : numbers) {
        if (states.at(number) == state)
            found.push_back(number);
    }
    return found;
}

LogStatus readLogStatus(std::string_view text)
{
    LogStatus status;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        const std::size_t first = line.find('\t');
        const std::size_t second = line.find('\t', first + 1);
        if (first == 0 || first == std::string_view::npos || second == std::string_view::npos)
            continue;
        const std::optional<NumberState> state =
            stateOfWord(line.substr(first + 1, second - first - 1));
        if (!state)
            continue;
        const std::string_view number = line.substr(0, first);
        const auto [entry, added] = status.states.insert_or_assign(std::string(number), *state);
        if (added)
            status.numbers.push_back(entry->first);
    }
    return status;
}

LogStatusResult readLogStatusFile(const std::string& path)
{
    LogStatusResult result;
    std::string text;
    if (!readLogText(path, text, result.error))
        return result;
    result.read = true;
    result.status = readLogStatus(text);
    return result;
}

} // namespace mailvane::cli
