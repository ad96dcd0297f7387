#include "Latin1Text.h"

#include "Utf8.h"

#include <cstdio>

namespace mailvane::rows {

Latin1Text latin1FromUtf8(std::string_view utf8)
{
    Latin1Text result;
    result.text.reserve(utf8.size());
    while (!utf8.empty()) {
        const settings::Utf8Character c = settings::firstUtf8Character(utf8);
        if (!c.codePoint) {
            result.error = "the text is not UTF-8";
            return result;
        }
        if (*c.codePoint > 0xFF) {
            char name[16];
            std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(*c.codePoint));
            result.error = std::string("holds ") + name +
                           ", which a setting cannot hold (only Latin-1 characters can be "
                           "typed into one)";
            return result;
        }
        result.text += static_cast<char>(*c.codePoint);
        utf8.remove_prefix(c.bytes.size());
    }
    return result;
}

} // namespace mailvane::rows
