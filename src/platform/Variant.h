#pragma once

// A tiny stand-in for the OLE Automation VARIANT, limited to the one shape the
// program hands across the phone service boundary: a one-dimensional array of
// unsigned bytes (VT_ARRAY | VT_UI1) with lower bound 0.

#include <cstdint>
#include <span>
#include <vector>

namespace mailvane::platform {

using VARTYPE = std::uint16_t;
inline constexpr VARTYPE VT_EMPTY = 0;
inline constexpr VARTYPE VT_UI1 = 17;
inline constexpr VARTYPE VT_ARRAY = 0x2000;

struct Variant
{
    VARTYPE vt = VT_EMPTY;
    std::int32_t lowerBound = 0;
    std::vector<std::uint8_t> bytes; // the array's elements when vt == VT_ARRAY | VT_UI1

    bool isByteArray() const { return vt == (VT_ARRAY | VT_UI1); }
};

// A VARIANT of type VT_ARRAY | VT_UI1, lower bound 0, holding a copy of `bytes`.
Variant makeByteArrayVariant(std::span<const std::uint8_t> bytes);

// Releases the variant's contents and makes it VT_EMPTY.
void VariantClear(Variant& variant);

} // namespace mailvane::platform
