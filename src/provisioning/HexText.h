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

// Whether `text` is whole bytes of digits (an even count, either case).
bool isWholeBytes(std::string_view text);

// Decodes pairs of digits; a trailing odd digit is ignored. Non-digits count as 0.
std::vector<std::uint8_t> decode(std::string_view text);
// The same into `out`, which has room for text.size() / 2 bytes; returns that count.
std::size_t decodeInto(std::string_view text, std::uint8_t* out);

std::string encode(std::span<const std::uint8_t> bytes);
// Appends the digits of `bytes` (each character taken as an unsigned byte) to `out`.
void append(std::string_view bytes, std::string& out);

} // namespace mailvane::provisioning::hex
