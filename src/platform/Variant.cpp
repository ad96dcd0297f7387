#include "Variant.h"

namespace mailvane::platform {

Variant makeByteArrayVariant(std::span<const std::uint8_t> bytes)
{
    Variant variant;
    variant.vt = VT_ARRAY | VT_UI1;
    variant.lowerBound = 0;
    variant.bytes.assign(bytes.begin(), bytes.end());
    return variant;
}

void VariantClear(Variant& variant)
{
    variant = Variant{};
}

} // namespace mailvane::platform
