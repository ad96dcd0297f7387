#include "Recipients.h"

#include "StringTable.h"
#include "Utf8.h"

#include <algorithm>

namespace mailvane::settings {
namespace {

// Longest piece the invalid-number message quotes, in characters.
constexpr std::size_t MaxQuotedCharacters = 40;
constexpr char32_t ReplacementCharacter = 0xFFFD;

struct Range
{
    char32_t first, last;
};

// Unicode format characters (general category Cf).
constexpr Range FormatCharacters[] = {
    {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},
    {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},
    {0x200B, 0x200F},   {0x202A, 0x202E},   {0x2060, 0x2064},   {0x2066, 0x206F},
    {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD},
    {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
    {0xE0020, 0xE007F},
};

// Unicode space separators (general category Zs) but the plain blank.
constexpr Range UnicodeSpaces[] = {
    {0x00A0, 0x00A0}, {0x1680, 0x1680}, {0x2000, 0x200A},
    {0x202F, 0x202F}, {0x205F, 0x205F}, {0x3000, 0x3000},
};

// Hyphen, non-breaking hyphen and figure dash, the last made for numbers.
constexpr Range UnicodeHyphens[] = {{0x2010, 0x2012}};

template <std::size_t N> bool inRanges(char32_t c, const Range (&ranges)[N])
{
    return std::ranges::any_of(ranges, [c](Range r) { return c >= r.first && c <= r.last; });
}

bool isFormatCharacter(char32_t c)
{
    return inRanges(c, FormatCharacters);
}

bool isSpace(char32_t c)
{
    return c == U' ' || c == U'\t' || inRanges(c, UnicodeSpaces);
}

// The characters people and phones write into numbers to group the digits.
bool isNumberPunctuation(char32_t c)
{
    return isSpace(c) || isFormatCharacter(c) || inRanges(c, UnicodeHyphens) || c == U'-' ||
           c == U'.' || c == U'(' || c == U')' || c == U'/';
}

bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

bool isDialable(std::string_view number)
{
    if (number.starts_with('+'))
        number.remove_prefix(1);
    return !number.empty() && number.size() <= MaxNumberDigits &&
           std::ranges::all_of(
               number, [](char c) { return (c >= '0' && c <= '9') || c == '*' || c == '#'; });
}

// The piece as the message quotes it: trimmed, without invisible characters,
// with anything that is not printable text replaced, shortened.
std::string quotablePiece(std::string_view piece)
{
    std::vector<char32_t> shown;
    forEachUtf8Character(piece, [&](const Utf8Character& c) {
        if (!c.codePoint)
            shown.push_back(ReplacementCharacter);
        else if (*c.codePoint == U'\t')
            shown.push_back(U' ');
        else if (!isFormatCharacter(*c.codePoint))
            shown.push_back(isControl(*c.codePoint) ? ReplacementCharacter : *c.codePoint);
    });
    const auto first = std::ranges::find_if_not(shown, isSpace);
    const auto last = std::find_if_not(shown.rbegin(), shown.rend(), isSpace).base();
    std::string text;
    std::size_t count = 0;
    for (auto it = first; it < last; ++it) {
        if (count++ == MaxQuotedCharacters) {
            appendUtf8(text, U'\u2026');
            break;
        }
        appendUtf8(text, *it);
    }
    return text;
}

} // namespace

std::string withoutNumberPunctuation(std::string_view piece)
{
    std::string kept;
    forEachUtf8Character(piece, [&](const Utf8Character& c) {
        if (!c.codePoint || !isNumberPunctuation(*c.codePoint))
            kept += c.bytes;
    });
    return kept;
}

std::optional<std::string> dialableNumber(std::string_view piece)
{
    std::string number = withoutNumberPunctuation(piece);
    if (!isDialable(number))
        return std::nullopt;
    return number;
}

std::string invalidNumberMessage(std::string_view piece)
{
    return stringText(strings::NotAPhoneNumberMessage, {quotablePiece(piece)});
}

RecipientList parseRecipients(std::string_view text)
{
    RecipientList list;
    for (;;) {
        const std::size_t end = text.find(';');
        const std::string_view piece = text.substr(0, end);
        if (!withoutNumberPunctuation(piece).empty()) {
            std::optional<std::string> number = dialableNumber(piece);
            if (!number) {
                list.invalidPiece = std::string(piece);
                return list;
            }
            list.numbers.push_back(std::move(*number));
        }
        if (end == std::string_view::npos)
            return list;
        text.remove_prefix(end + 1);
    }
}

} // namespace mailvane::settings
