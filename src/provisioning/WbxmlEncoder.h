#pragma once

#include "TokenTable.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mailvane::provisioning {

// Longest WBXML hexadecimal text one encoding may produce.
inline constexpr std::size_t MaxWbxmlDigits = 8091;

// Translates the provisioning document into WBXML hexadecimal text with the
// two token tables (code pages 0 and 1) read from the token table file.
class WbxmlEncoder
{
public:
    // Reads the token table file. A missing or unreadable file leaves both
    // tables empty (every later encoding then fails); returns whether it was read.
    bool loadTokenTable(const std::filesystem::path& path);
    void loadTokenTableText(std::string_view text);

    void resetCodePage() { m_currentPage = 0; }
    std::uint8_t currentCodePage() const { return m_currentPage; }

    // Returns nothing when the document cannot be encoded faithfully.
    std::optional<std::string> encodeDocument(std::string_view document);

private:
    TokenTable m_pages[2];
    std::uint8_t m_currentPage = 0;
};

} // namespace mailvane::provisioning
