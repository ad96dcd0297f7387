#pragma once

// Reading and writing UTF-8 one character at a time, for the texts people
// type or paste (numbers) and the texts that services answer with.

#include <optional>
#include <string>
#include <string_view>

namespace mailvane::settings {

// One character of UTF-8 text: its code point and its bytes. A byte that
// starts no well-formed sequence (overlong forms, surrogates and values past
// U+10FFFF included) is a character of its own without a code point.
struct Utf8Character
{
    std::optional<char32_t> codePoint;
    std::string_view bytes;
};

// The first character of `text`, which must not be empty.
Utf8Character firstUtf8Character(std::string_view text);

template <class Visit> void forEachUtf8Character(std::string_view text, Visit visit)
{
    while (!text.empty()) {
        const Utf8Character c = firstUtf8Character(text);
        visit(c);
        text.remove_prefix(c.bytes.size());
    }
}

void appendUtf8(std::string& out, char32_t codePoint);

} // namespace mailvane::settings
