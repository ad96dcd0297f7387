#pragma once

#include <cstddef>

namespace mailvane::provisioning {

// Longest WBXML hexadecimal text one encoding may produce, so that the push
// around it stays within its own limit.
inline constexpr std::size_t MaxWbxmlDigits = 8091;
// Longest document line, element or attribute name, attribute value (after its
// entities are decoded) and token text (with a page switch or inline string).
inline constexpr std::size_t MaxLineLength = 1023;
inline constexpr std::size_t MaxItemLength = 511;

} // namespace mailvane::provisioning
