#pragma once

// libgammu keeps texts as big-endian UTF-16 code units ending in a zero unit.

#include <cstddef>
#include <string>
#include <string_view>

namespace mailvane::phone {

// The text in `bytes` (at most `size` bytes), up to its zero unit.
std::u16string fromGammuText(const unsigned char* bytes, std::size_t size);

// Writes a phone number (ASCII digits, '+', '*', '#') into `out`; false when
// the number is empty, holds other characters or does not fit.
bool toGammuNumber(std::string_view number, unsigned char* out, std::size_t size);

} // namespace mailvane::phone
