#pragma once

#include "ElementCache.h"
#include "TokenTable.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mailvane::provisioning {

// Largest token table file read. The table the program ships is a few
// kilobytes; a gigabyte of random bytes is refused before it is read in.
inline constexpr std::size_t MaxTokenTableBytes = 1024 * 1024;

// The token table file's two code pages (0 and 1), and the lookup that
// searches the current page first and switches pages when the name lives only
// in the other one. Filled once, then only read: one object serves any number
// of encodings, one at a time (they share its element cache).
class TokenTables
{
public:
    // Reads the token table file, replacing what the tables held. Entries
    // whose token text is not whole bytes of hexadecimal digits, or longer
    // than a token may be, are left out. A missing or unreadable file, or one
    // larger than MaxTokenTableBytes, leaves both tables empty (every later
    // encoding then fails); returns whether it was read.
    bool load(const std::filesystem::path& path);
    // The same for the file's text; a text past MaxTokenTableBytes leaves both
    // tables empty.
    void loadText(std::string_view text);
    bool empty() const { return m_pages[0].empty() && m_pages[1].empty(); }

    struct Token
    {
        std::uint8_t page;
        std::string_view text;
    };
    // The token of `name` in page `currentPage`, else in the other page.
    std::optional<Token> find(std::string_view name, std::uint8_t currentPage) const;

    // Appends `token` to `out`, preceded by a page switch when it is not in
    // `page`, which then becomes its page.
    static void append(const Token& token, std::uint8_t& page, std::string& out);
    // find and append together; false, appending nothing, when neither page
    // holds `name`.
    bool lookUp(std::string_view name, std::uint8_t& page, std::string& out) const;

    // What element beginnings wrote with these tables; emptied by each load.
    ElementCache& elementCache() const { return m_elementCache; }

private:
    TokenTable m_pages[2];
    mutable ElementCache m_elementCache;
    std::size_t m_longestName = 0;
};

} // namespace mailvane::provisioning
