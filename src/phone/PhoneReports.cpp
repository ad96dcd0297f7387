#include "PhoneReports.h"

#include <cstdio>

namespace mailvane::phone {
namespace {

// Fewer digits than this say too little to match a national spelling to an
// international one.
constexpr std::size_t MinMatchingDigits = 6;

std::string digitsOf(std::string_view number)
{
    std::string digits;
    for (const char c : number) {
        if (c >= '0' && c <= '9')
            digits.push_back(c);
    }
    return digits;
}

bool international(std::string_view number)
{
    const auto first = number.find_first_not_of(" \t");
    return first != std::string_view::npos &&
           (number[first] == '+' || number.substr(first).starts_with("00"));
}

// The subscriber's digits without the national trunk prefix.
std::string_view nationalDigits(std::string_view digits)
{
    while (digits.starts_with('0'))
        digits.remove_prefix(1);
    return digits;
}

} // namespace

unsigned reportTypeOfStatus(std::uint8_t status)
{
    if (status < 0x20)
        return report_types::Delivered;
    if (status < 0x40)
        return report_types::Buffered;
    return report_types::NotDelivered;
}

std::string statusText(std::uint8_t status)
{
    const char* meaning = "failed";
    if (status < 0x20)
        meaning = "received";
    else if (status < 0x40)
        meaning = "still trying";
    else if (status >= 0x60 && status < 0x80)
        meaning = "gave up trying";
    char text[48];
    std::snprintf(text, sizeof text, "status 0x%02X (%s)", unsigned{status}, meaning);
    return text;
}

bool sameNumber(std::string_view one, std::string_view other)
{
    const std::string a = digitsOf(one);
    const std::string b = digitsOf(other);
    if (a.empty() || b.empty())
        return false;
    if (international(one) == international(other))
        return a == b;
    const std::string_view national = nationalDigits(international(one) ? b : a);
    const std::string_view full = international(one) ? a : b;
    return national.size() >= MinMatchingDigits && full.size() > national.size() &&
           full.ends_with(national);
}

void PhoneReportMatcher::sent(std::size_t push, std::string_view recipient,
                              const std::vector<std::uint8_t>& references)
{
    for (std::size_t message = 0; message < references.size(); ++message)
        m_sent.emplace(references[message], Sent{std::string(recipient), push, message});
}

std::optional<DeliveryReport> PhoneReportMatcher::match(const PhoneStatusReport& report) const
{
    const auto [first, last] = m_sent.equal_range(report.reference);
    // The latest message with this reference and number: an older one's
    // reference has come round again.
    for (auto at = last; at != first;) {
        --at;
        if (sameNumber(at->second.recipient, report.recipient))
            return DeliveryReport{at->second.push, at->second.message,
                                  reportTypeOfStatus(report.status), statusText(report.status)};
    }
    return std::nullopt;
}

} // namespace mailvane::phone
