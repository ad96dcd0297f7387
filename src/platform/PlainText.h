#pragma once

// Small facts about plain text that readers in every layer share.

#include <charconv>
#include <optional>
#include <string>
#include <string_view>

namespace mailvane::platform {

// `text` without the blanks and line breaks around it: what the files and
// answers we read mean when a person or a peer pads a value.
inline std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view Blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

// The value of one hexadecimal digit of either case, or -1.
constexpr int hexDigitValue(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    return -1;
}

// `text` with each "%XX" (two hexadecimal digits) replaced by its byte; other
// bytes stay. `plusIsBlank` also reads "+" as a blank, as HTML forms write it.
std::string percentDecoded(std::string_view text, bool plusIsBlank = false);

// `text` as a whole number in `base`, or nothing when anything else is in it
// (a sign, a blank, a digit too many for `Number`).
template <typename Number> std::optional<Number> wholeNumber(std::string_view text, int base = 10)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace mailvane::platform
