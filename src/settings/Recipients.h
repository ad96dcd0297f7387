#pragma once

// What a recipient is, for every place that takes numbers from people: the
// window's recipients field, the numbers chosen from the phone's contacts,
// and the command line's --to and --to-file. Texts are UTF-8.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mailvane::settings {

// Most digits ('*' and '#' included, a leading '+' not) a number may have:
// all that the destination address of a text message can carry.
inline constexpr std::size_t MaxNumberDigits = 20;

// The number `piece` dials: the piece without blanks, tabs, '-', '.', '(',
// ')', '/', Unicode spaces (no-break spaces among them), the hyphens
// U+2010 to U+2012 and Unicode format characters (direction marks,
// zero-width characters), which phones and address books put into numbers
// for the eye only. Nothing when what remains is not an optional leading '+'
// followed by 1 to MaxNumberDigits of '0'-'9', '*' and '#', or when the piece
// is not valid UTF-8.
std::optional<std::string> dialableNumber(std::string_view piece);

// The piece with the characters that dialableNumber() drops removed, valid
// or not: the form in which a number chosen from the phone's contacts is
// written into the recipients field. Invalid UTF-8 is kept as it is.
std::string withoutNumberPunctuation(std::string_view piece);

// The message (UTF-8) that tells the operator `piece` is not a phone number,
// caption strings::RecipientsInvalidCaption. The piece is shown as typed,
// without its invisible characters, shortened when it is very long.
std::string invalidNumberMessage(std::string_view piece);

struct RecipientList
{
    std::vector<std::string> numbers; // as dialled, in order
    // The first piece that is not a phone number, as typed; when there is one,
    // `numbers` holds those before it only.
    std::optional<std::string> invalidPiece;
};

// The numbers of a recipients text "num;num;...", in order: each piece made
// dialable, empty pieces (nothing but the characters dropped) skipped.
RecipientList parseRecipients(std::string_view text);

} // namespace mailvane::settings
