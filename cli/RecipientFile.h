#pragma once

// Reading the numbers of a batch from a file: one number a line (or several
// as "num;num"), each made dialable as the window's recipients field makes
// its numbers; blank lines and lines whose first non-blank character is '#'
// are skipped. A piece that is not a phone number makes the file unusable.
// The file is read as a table is, within the same limits of size and line
// length, and its numbers are capped as a table's rows are.

#include <string>
#include <string_view>
#include <vector>

namespace mailvane::cli {

// As many as a table may have rows.
inline constexpr std::size_t MaxListNumbers = 1'000'000;

struct RecipientFileResult
{
    bool read = false;
    std::vector<std::string> numbers;
    std::string error;          // names the file (and the line) and why it could not be used
    bool invalidNumber = false; // read, but a piece is not a phone number
};

// `path` "-" reads standard input.
RecipientFileResult readRecipientFile(const std::string& path);

// The numbers in a file's text; `name` is how an error names the file.
RecipientFileResult parseRecipientLines(std::string_view text, std::string_view name);

} // namespace mailvane::cli
