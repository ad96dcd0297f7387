#pragma once

// Who may open a push: the security methods of OMA provisioning and the HMAC
// key each one takes. The method travels as the SEC parameter of the push's
// content type; the phone rebuilds the key from what it knows (the PIN its
// user types, the IMSI of its SIM, or both) and takes the settings only when
// the MAC matches.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mailvane::provisioning {

// The SEC values of the content type.
enum class SecurityMethod : std::uint8_t
{
    NetworkPin = 0,     // NETWPIN: keyed with the SIM's IMSI
    UserPin = 1,        // USERPIN: keyed with the PIN the user types
    UserNetworkPin = 2, // USERNETWPIN: keyed with the IMSI's key, then the PIN
};

// As many characters as the PIN dialog lets the operator type.
inline constexpr std::size_t MaxPinLength = 10;
// An IMSI has at most 15 digits; fewer than 6 cannot even hold the country
// and network codes.
inline constexpr std::size_t MinImsiDigits = 6;
inline constexpr std::size_t MaxImsiDigits = 15;

struct PushSecurity
{
    SecurityMethod method = SecurityMethod::UserPin;
    std::string key; // the HMAC key's bytes
};

// 1 to MaxPinLength ASCII digits, nothing else: what a phone's keypad can
// type when the phone asks for it.
bool isPin(std::string_view pin);
// Why `text` is not a PIN, for a message that must not repeat it; empty
// when it is one.
std::string pinDefect(std::string_view text);
// MinImsiDigits to MaxImsiDigits decimal digits, nothing else.
bool isImsi(std::string_view imsi);

// The IMSI as the SIM's mobile identity carries it: semi-octets, the first
// holding the first digit above the odd/even bit and the IMSI identity type,
// each further octet two digits low half first, a last lone digit topped up
// with the filler F. Nothing when `imsi` is not an IMSI.
std::optional<std::string> imsiKey(std::string_view imsi);

PushSecurity userPinSecurity(std::string_view pin);
// Nothing when `imsi` is not an IMSI.
std::optional<PushSecurity> networkPinSecurity(std::string_view imsi);
std::optional<PushSecurity> userNetworkPinSecurity(std::string_view imsi, std::string_view pin);

bool usesPin(SecurityMethod method);
bool usesImsi(SecurityMethod method);

// "userpin", "netwpin", "usernetwpin": the names the command line takes.
std::string_view securityMethodName(SecurityMethod method);
std::optional<SecurityMethod> parseSecurityMethod(std::string_view name);

} // namespace mailvane::provisioning
