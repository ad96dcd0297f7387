#pragma once

#include "TokenTable.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mailvane::provisioning {

// Longest WBXML hexadecimal text one encoding may produce, so that the push
// around it stays within its own limit.
inline constexpr std::size_t MaxWbxmlDigits = 8091;
// Longest document line, element or attribute name, attribute value (after its
// entities are decoded) and token text (with a page switch or inline string).
inline constexpr std::size_t MaxLineLength = 1023;
inline constexpr std::size_t MaxItemLength = 511;

// Translates the provisioning document into WBXML hexadecimal text with the
// two token tables (code pages 0 and 1) read from the token table file. Made
// for the builder's line-per-element shape, not for XML at large.
class WbxmlEncoder
{
public:
    // Reads the token table file into the two tables (replacing what they held).
    // Entries whose token text is not whole bytes of hexadecimal digits, or
    // longer than a token may be, are left out.
    // A missing or unreadable file leaves both tables empty (every later
    // encoding then fails); returns whether it was read.
    bool loadTokenTable(const std::filesystem::path& path);
    void loadTokenTableText(std::string_view text);
    bool hasTokens() const { return !m_pages[0].empty() || !m_pages[1].empty(); }

    void resetCodePage() { m_currentPage = 0; }
    std::uint8_t currentCodePage() const { return m_currentPage; }

    // Appends the token text of `name` to `out`, preceded by a page switch when
    // it lives only in the other code page (the current page is searched first).
    // Returns false, appending nothing, when neither page holds it.
    bool lookUp(std::string_view name, std::string& out);

    // The WBXML hexadecimal text of `document`, or nothing when it cannot be
    // encoded faithfully: a line that is not a well-formed element of the
    // builder's shape, a tag, first attribute value or second attribute name
    // the table lacks, an item past its limit, a value holding a NUL byte, or
    // output past MaxWbxmlDigits.
    std::optional<std::string> encodeDocument(std::string_view document);

private:
    struct Found
    {
        int page;
        const std::string* token;
    };
    std::optional<Found> find(std::string_view name) const;
    void emit(const Found& found, std::string& out);
    // lookUp for tag and attribute names: a handful of names met on every
    // line, whose results (for each current page) are kept until the next load.
    bool lookUpStructural(std::string_view name, std::string& out);
    // How much of an element's text its encoding depended on (offsets from its
    // `<`), where its second value starts (0 for none), and whether an END
    // must close its attribute list.
    struct Extent
    {
        std::size_t examined = 0;
        std::size_t secondValue = 0;
        bool needsEnd = false;
    };
    bool encodeElement(std::string_view element, std::string& out, Extent& extent);
    bool encodeLine(std::string_view line, std::string& out);
    bool appendValue(std::string_view value, std::string& out);

    TokenTable m_pages[2];
    // A copy of the result, not a pointer into the tables, so that copies of
    // the encoder stay sound.
    struct StructuralResult
    {
        bool known = false;
        bool found = false;
        int page = 0;
        std::string token;
    };
    struct StructuralName
    {
        std::string name;
        StructuralResult byCurrentPage[2];
    };
    static constexpr std::size_t MaxStructuralNames = 8;
    std::vector<StructuralName> m_structuralNames;
    // What the beginning of an element (its text up to the opening quote of
    // its second value) writes, by the page current before it; kept until the
    // next load.
    struct Beginning
    {
        std::string tokens;
        std::uint8_t pageAfter;
        bool hasSecondValue;
        bool needsEnd;
    };
    struct TextHash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const
        {
            return std::hash<std::string_view>{}(text);
        }
    };
    static constexpr std::size_t MaxBeginnings = 256;
    std::unordered_map<std::string, Beginning, TextHash, std::equal_to<>> m_beginnings[2];
    std::size_t m_tokensBeforeValue = 0; // where appendValue began writing
    std::uint8_t m_pageBeforeValue = 0;

    std::uint8_t m_currentPage = 0;
    std::string m_value; // a value with entities, decoded; kept to reuse its buffer
};

} // namespace mailvane::provisioning
