#include "PushSecurity.h"

#include <algorithm>
#include <array>

namespace mailvane::provisioning {
namespace {

// The low half of the first octet: type of identity IMSI (001), with the
// odd/even indicator (bit 4) set for an odd number of digits.
constexpr std::uint8_t ImsiIdentityEven = 0x1;
constexpr std::uint8_t ImsiIdentityOdd = 0x9;
constexpr std::uint8_t Filler = 0xF;

struct MethodName
{
    SecurityMethod method;
    std::string_view name;
};

constexpr std::array<MethodName, 3> MethodNames = {{
    {SecurityMethod::UserPin, "userpin"},
    {SecurityMethod::NetworkPin, "netwpin"},
    {SecurityMethod::UserNetworkPin, "usernetwpin"},
}};

} // namespace

bool isPin(std::string_view pin)
{
    return !pin.empty() && pin.size() <= MaxPinLength &&
           std::ranges::all_of(pin, [](char c) { return c >= '0' && c <= '9'; });
}

std::string pinDefect(std::string_view text)
{
    if (isPin(text))
        return {};
    const std::string rule =
        "a PIN is 1 to " + std::to_string(MaxPinLength) + " digits (0-9) and nothing else";
    // What a spreadsheet makes of a number column: 4711.0, 4,711, 1.2E+3.
    const bool digitFirst = !text.empty() && text.front() >= '0' && text.front() <= '9';
    const bool numberArtefact =
        digitFirst && text.find_first_not_of("0123456789.,eE+-") == std::string_view::npos &&
        text.find_first_of(".,eE") != std::string_view::npos;
    if (numberArtefact)
        return rule + "; this looks like a spreadsheet number: format the column as text";
    return rule;
}

bool isImsi(std::string_view imsi)
{
    return imsi.size() >= MinImsiDigits && imsi.size() <= MaxImsiDigits &&
           std::ranges::all_of(imsi, [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<std::string> imsiKey(std::string_view imsi)
{
    if (!isImsi(imsi))
        return std::nullopt;
    // The identity nibble stands in front of the digits; the whole is then
    // packed two nibbles an octet, the earlier nibble in the low half.
    std::string nibbles;
    nibbles += static_cast<char>(imsi.size() % 2 ? ImsiIdentityOdd : ImsiIdentityEven);
    for (const char digit : imsi)
        nibbles += static_cast<char>(digit - '0');
    if (nibbles.size() % 2)
        nibbles += static_cast<char>(Filler);
    std::string key;
    for (std::size_t i = 0; i < nibbles.size(); i += 2)
        key += static_cast<char>(nibbles[i] | (nibbles[i + 1] << 4));
    return key;
}

PushSecurity userPinSecurity(std::string_view pin)
{
    return {SecurityMethod::UserPin, std::string(pin)};
}

std::optional<PushSecurity> networkPinSecurity(std::string_view imsi)
{
    std::optional<std::string> key = imsiKey(imsi);
    if (!key)
        return std::nullopt;
    return PushSecurity{SecurityMethod::NetworkPin, std::move(*key)};
}

std::optional<PushSecurity> userNetworkPinSecurity(std::string_view imsi, std::string_view pin)
{
    std::optional<std::string> key = imsiKey(imsi);
    if (!key)
        return std::nullopt;
    *key += pin;
    return PushSecurity{SecurityMethod::UserNetworkPin, std::move(*key)};
}

bool usesPin(SecurityMethod method)
{
    return method != SecurityMethod::NetworkPin;
}

bool usesImsi(SecurityMethod method)
{
    return method != SecurityMethod::UserPin;
}

std::string_view securityMethodName(SecurityMethod method)
{
    for (const MethodName& entry : MethodNames) {
        if (entry.method == method)
            return entry.name;
    }
    return {};
}

std::optional<SecurityMethod> parseSecurityMethod(std::string_view name)
{
    for (const MethodName& entry : MethodNames) {
        if (entry.name == name)
            return entry.method;
    }
    return std::nullopt;
}

} // namespace mailvane::provisioning
