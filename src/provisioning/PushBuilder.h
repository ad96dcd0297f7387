#pragma once

#include "WbxmlEncoder.h"

#include <optional>
#include <string>
#include <string_view>

namespace mailvane::provisioning {

// Longest push hexadecimal text.
inline constexpr std::size_t MaxPushDigits = 8191;

// Resets the encoder's code page, encodes `document` and wraps it in the WSP
// push with the USERPIN MAC keyed by `pin`. Returns nothing when encoding fails
// or the push would pass MaxPushDigits.
std::optional<std::string> encodeProvisioningPush(WbxmlEncoder& encoder, std::string_view document,
                                                  std::string_view pin);

// The push text for an already encoded WBXML text.
std::string buildPush(std::string_view pin, std::string_view wbxmlHex);

// HMAC-SHA1 over the WBXML bytes keyed with the PIN: 40 lower-case digits.
std::string computeMac(std::string_view pin, std::string_view wbxmlHex);

} // namespace mailvane::provisioning
