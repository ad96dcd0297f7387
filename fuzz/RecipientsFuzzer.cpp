// The recipient rule every send uses: from any bytes, a number is an
// optional '+' then 1 to MaxNumberDigits of digits, '*' and '#', and is its
// own dialable form; a recipients list holds only such numbers, stops at the
// first piece that is not one, and the refusal's message is UTF-8 text.

#include "FuzzCheck.h"
#include "Recipients.h"
#include "Utf8.h"

#include <algorithm>

using namespace mailvane::settings;

namespace {

void checkNumber(const std::string& number)
{
    std::string_view digits = number;
    if (digits.starts_with('+'))
        digits.remove_prefix(1);
    FUZZ_CHECK(!digits.empty() && digits.size() <= MaxNumberDigits);
    FUZZ_CHECK(std::ranges::all_of(
        digits, [](char c) { return (c >= '0' && c <= '9') || c == '*' || c == '#'; }));
    FUZZ_CHECK(dialableNumber(number) == number);
}

bool isUtf8(std::string_view text)
{
    bool valid = true;
    forEachUtf8Character(text,
                         [&valid](const Utf8Character& c) { valid &= c.codePoint.has_value(); });
    return valid;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string_view text = mailvane::fuzz::textOf(data, size);
    if (const std::optional<std::string> number = dialableNumber(text))
        checkNumber(*number);

    const RecipientList list = parseRecipients(text);
    for (const std::string& number : list.numbers)
        checkNumber(number);
    const std::size_t pieces = static_cast<std::size_t>(std::ranges::count(text, ';')) + 1;
    FUZZ_CHECK(list.numbers.size() <= pieces);
    if (list.invalidPiece) {
        const std::string& piece = *list.invalidPiece;
        FUZZ_CHECK(!dialableNumber(piece).has_value());
        FUZZ_CHECK(piece.find(';') == std::string::npos &&
                   text.find(piece) != std::string_view::npos);
        FUZZ_CHECK(isUtf8(invalidNumberMessage(piece)));
    }
    return 0;
}
