#pragma once

#include "PushSecurity.h"
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
// security method and MAC key of `security` (userPinSecurity(pin) for the
// common USERPIN). Returns nothing when encoding fails or the push would pass
// MaxPushDigits.
std::optional<std::string> encodeProvisioningPush(const TokenTables& tables,
                                                  std::string_view document,
                                                  const PushSecurity& security);

// The push text for an already encoded WBXML text: transaction 1, Push, the
// connectivity-wbxml content type with SEC and the MAC's key taken from
// `security`, then the WBXML.
std::string buildPush(const PushSecurity& security, std::string_view wbxmlHex);

// HMAC-SHA1 (RFC 2104) over the WBXML bytes keyed with `key`'s bytes (the
// PIN's for USERPIN): 40 lower-case digits. A key longer than 64 bytes is
// replaced by its SHA-1 digest, as the RFC says.
std::string computeMac(std::string_view key, std::string_view wbxmlHex);

} // namespace mailvane::provisioning
