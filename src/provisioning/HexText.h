#pragma once

// Hexadecimal text: two digits per byte, high half first; readers accept both
// cases, writers write lower case.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mailvane::provisioning::hex {

// Value of one hexadecimal digit, or -1.
int digitValue(char digit);

// Decodes pairs of digits; a trailing odd digit is ignored. Non-digits count as 0.
std::vector<std::uint8_t> decode(std::string_view text);
// The same into `out`, which has room for text.size() / 2 bytes; returns that count.
std::size_t decodeInto(std::string_view text, std::uint8_t* out);

std::string encode(std::span<const std::uint8_t> bytes);

} // namespace mailvane::provisioning::hex
