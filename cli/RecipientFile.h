#pragma once

// Reading the numbers of a batch from a file: one number a line (or several
// as "num;num", blanks and tabs ignored as in the recipients field); blank
// lines and lines whose first non-blank character is '#' are skipped.

#include <string>
#include <string_view>
#include <vector>

namespace mailvane::cli {

struct RecipientFileResult
{
    bool read = false;
    std::vector<std::string> numbers;
    std::string error; // names the file and why it could not be read
};

// `path` "-" reads standard input.
RecipientFileResult readRecipientFile(const std::string& path);

// The numbers in a file's text.
std::vector<std::string> parseRecipientLines(std::string_view text);

} // namespace mailvane::cli
