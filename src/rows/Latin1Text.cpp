#include "Latin1Text.h"

#include <cstdio>

namespace mailvane::rows {

Latin1Text latin1FromUtf8(std::string_view utf8)
{
    Latin1Text result;
    result.text.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            result.text += static_cast<char>(lead);
            ++i;
            continue;
        }
        // The length the lead byte announces, and the smallest code point
        // that needs it (anything less is an overlong form).
        std::size_t length = 0;
        char32_t codePoint = 0;
        char32_t smallest = 0;
        if ((lead & 0xE0) == 0xC0) {
            length = 2;
            codePoint = lead & 0x1F;
            smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            codePoint = lead & 0x0F;
            smallest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            codePoint = lead & 0x07;
            smallest = 0x10000;
        }
        bool valid = length > 0 && i + length <= utf8.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0) == 0x80;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        if (!valid || codePoint < smallest || codePoint > 0x10FFFF ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
            result.error = "the text is not UTF-8";
            return result;
        }
        if (codePoint > 0xFF) {
            char name[16];
            std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(codePoint));
            result.error = std::string("holds ") + name +
                           ", which a setting cannot hold (only Latin-1 characters can be "
                           "typed into one)";
            return result;
        }
        result.text += static_cast<char>(codePoint);
        i += length;
    }
    return result;
}

} // namespace mailvane::rows
