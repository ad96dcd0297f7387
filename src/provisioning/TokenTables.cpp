#include "TokenTables.h"

#include "HexText.h"
#include "WbxmlLimits.h"

#include <algorithm>
#include <fstream>

namespace mailvane::provisioning {
namespace {

// SWITCH_PAGE: the token 0x00, then the page byte; four digits.
constexpr char SwitchPage = 0x00;
constexpr std::size_t SwitchDigits = 4;

} // namespace

bool TokenTables::load(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        loadText({});
        return false;
    }
    // Read through the stream, not its buffer: a read error (a folder, a
    // failing disk) then marks the stream bad instead of throwing.
    std::string text;
    char chunk[4096];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(file.gcount()));
        // Counted as read: a pipe or a device has no size to ask for first.
        if (text.size() > MaxTokenTableBytes)
            break;
    }
    if (file.bad() || text.size() > MaxTokenTableBytes) {
        loadText({});
        return false;
    }
    loadText(text);
    return true;
}

void TokenTables::loadText(std::string_view text)
{
    m_pages[0].clear();
    m_pages[1].clear();
    m_elementCache.clear();
    if (text.size() > MaxTokenTableBytes)
        text = {};
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        auto entry = parseTokenTableLine(line);
        // Token text that is not whole bytes of hexadecimal would corrupt
        // everything written after it; such an entry is left out, so its name
        // is unknown to the encoder.
        if (entry && hex::isWholeBytes(entry->token) &&
            entry->token.size() + SwitchDigits <= MaxItemLength)
            m_pages[entry->codePage == 0 ? 0 : 1].add(std::move(entry->name),
                                                      std::move(entry->token));
    }
    m_longestName = std::max(m_pages[0].longestName(), m_pages[1].longestName());
}

std::optional<TokenTables::Token> TokenTables::find(std::string_view name,
                                                    std::uint8_t currentPage) const
{
    // Long values (addresses, passwords) need no hashing to be known absent.
    if (name.size() > m_longestName)
        return std::nullopt;
    const TokenTable::Key key = TokenTable::keyOf(name);
    const auto first = static_cast<std::uint8_t>(currentPage == 0 ? 0 : 1);
    const auto second = static_cast<std::uint8_t>(1 - first);
    if (const std::string* token = m_pages[first].find(key))
        return Token{first, *token};
    if (const std::string* token = m_pages[second].find(key))
        return Token{second, *token};
    return std::nullopt;
}

void TokenTables::append(const Token& token, std::uint8_t& page, std::string& out)
{
    if (token.page != page) {
        const char switchBytes[] = {SwitchPage, static_cast<char>(token.page)};
        hex::append({switchBytes, sizeof switchBytes}, out);
        page = token.page;
    }
    out += token.text;
}

bool TokenTables::lookUp(std::string_view name, std::uint8_t& page, std::string& out) const
{
    const auto token = find(name, page);
    if (!token)
        return false;
    append(*token, page, out);
    return true;
}

} // namespace mailvane::provisioning
