#pragma once

// Settings values are Latin-1 bytes, as the window lets them be typed; a
// table comes as UTF-8.

#include <string>
#include <string_view>

namespace mailvane::rows {

struct Latin1Text
{
    std::string text;  // Latin-1 bytes
    std::string error; // why the text cannot be a setting; empty when it can

    bool ok() const { return error.empty(); }
};

// `utf8` in Latin-1, or why not: it is not UTF-8, or it holds a character
// beyond U+00FF (named in the error).
Latin1Text latin1FromUtf8(std::string_view utf8);

} // namespace mailvane::rows
