#include "DeliveryReport.h"

#include "PlainText.h"
#include "SendsmsCodec.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

namespace mailvane::phone {
using platform::wholeNumber;

namespace {

constexpr std::array<std::pair<DeliveryState, std::string_view>, 4> StateWords = {{
    {DeliveryState::NoReport, "no report"},
    {DeliveryState::Accepted, "accepted"},
    {DeliveryState::Delivered, "delivered"},
    {DeliveryState::NotDelivered, "not delivered"},
}};

// The SMSC's text is for people; a longer one is cut here.
constexpr std::size_t MaxReportText = 160;

} // namespace

bool isFinal(DeliveryState state)
{
    return state == DeliveryState::Delivered || state == DeliveryState::NotDelivered;
}

std::string_view deliveryStateWord(DeliveryState state)
{
    for (const auto& [known, word] : StateWords) {
        if (known == state)
            return word;
    }
    return {};
}

std::optional<DeliveryState> deliveryStateFromWord(std::string_view word)
{
    for (const auto& [state, known] : StateWords) {
        if (known == word)
            return state;
    }
    return std::nullopt;
}

DeliveryState stateOfReportType(unsigned type)
{
    switch (type) {
    case report_types::Delivered:
        return DeliveryState::Delivered;
    case report_types::NotDelivered:
    case report_types::SmscRefused:
        return DeliveryState::NotDelivered;
    case report_types::Buffered:
    case report_types::SmscAccepted:
        return DeliveryState::Accepted;
    default:
        return DeliveryState::NoReport;
    }
}

DeliveryState advance(DeliveryState current, DeliveryState reported)
{
    // Reports overtake each other: the SMSC's acceptance may come after the
    // phone's word, and must not undo it.
    if (isFinal(current))
        return current;
    return std::max(current, reported);
}

DeliveryState foldPushState(std::span<const DeliveryState> messages)
{
    if (messages.empty())
        return DeliveryState::NoReport;
    if (std::ranges::find(messages, DeliveryState::NotDelivered) != messages.end())
        return DeliveryState::NotDelivered;
    return std::ranges::min(messages);
}

std::string reportCallbackUrl(std::string_view base, std::string_view batch, std::size_t push,
                              std::size_t message)
{
    std::string url(base);
    url += base.find('?') == std::string_view::npos ? '?' : '&';
    url += "batch=";
    url += batch;
    url += "&push=" + std::to_string(push) + "&message=" + std::to_string(message);
    // Kannel puts the report type for %d and the SMSC's text for %A.
    url += "&type=%d&text=%A";
    return url;
}

std::optional<DeliveryReport> parseReportCallback(std::string_view target, std::string_view batch)
{
    const std::size_t question = target.find('?');
    if (question == std::string_view::npos)
        return std::nullopt;
    std::string_view query = target.substr(question + 1);
    std::optional<std::string> givenBatch;
    std::optional<std::size_t> push;
    std::optional<std::size_t> message;
    std::optional<unsigned> type;
    DeliveryReport report;
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        const std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view name = pair.substr(0, equals);
        const std::string value = formDecoded(pair.substr(equals + 1));
        if (name == "batch")
            givenBatch = value;
        else if (name == "push")
            push = wholeNumber<std::size_t>(value);
        else if (name == "message")
            message = wholeNumber<std::size_t>(value);
        else if (name == "type")
            type = wholeNumber<unsigned>(value);
        else if (name == "text")
            report.text = value;
    }
    if (givenBatch != batch || !push || !message || !type)
        return std::nullopt;
    report.push = *push;
    report.message = *message;
    report.type = *type;
    if (report.text.size() > MaxReportText)
        report.text.resize(MaxReportText);
    for (char& c : report.text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    }
    return report;
}

} // namespace mailvane::phone
