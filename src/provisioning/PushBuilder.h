#pragma once

#include "WbxmlEncoder.h"

#include <optional>
#include <string>
#include <string_view>

namespace mailvane::provisioning {

// Longest push hexadecimal text.
inline constexpr std::size_t MaxPushDigits = 8191;

// Longest key that HMAC-SHA1 uses as it is; longer ones are hashed first.
inline constexpr std::size_t MacBlockSize = 64;

// Encodes `document` with `tables` and wraps it in the WSP push with the
// USERPIN MAC keyed by `pin`. Returns nothing when encoding fails or the push
// would pass MaxPushDigits.
std::optional<std::string> encodeProvisioningPush(const TokenTables& tables,
                                                  std::string_view document, std::string_view pin);

// The push text for an already encoded WBXML text: transaction 1, Push, the
// connectivity-wbxml content type with SEC=USERPIN and the MAC, then the WBXML.
std::string buildPush(std::string_view pin, std::string_view wbxmlHex);

// HMAC-SHA1 (RFC 2104) over the WBXML bytes keyed with the PIN's bytes: 40
// lower-case digits. A PIN longer than 64 characters is replaced by its SHA-1
// digest, as the RFC says.
std::string computeMac(std::string_view pin, std::string_view wbxmlHex);

} // namespace mailvane::provisioning
