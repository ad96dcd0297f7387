#pragma once

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

} // namespace mailvane::platform
