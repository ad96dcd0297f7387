#include "WbxmlEncoder.h"

#include "HexText.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <fstream>

namespace mailvane::provisioning {
namespace {

// WBXML 1.3, public identifier 0x0B (provisioning 1.0), UTF-8, no string table,
// then the root element with attributes and content, version="1.0" and the END
// of its attribute list.
constexpr std::string_view Header = "030b6a00c54601";
constexpr std::string_view End = "01";
constexpr std::string_view InlineStringStart = "03";
constexpr std::string_view InlineStringEnd = "00";

constexpr char HexDigits[] = "0123456789abcdef";

std::size_t skipSpaces(std::string_view line, std::size_t pos)
{
    while (pos < line.size() && line[pos] == ' ')
        ++pos;
    return pos;
}

// Exactly the four entities the builder writes; any other & stands for itself.
// Returns `raw` itself when it holds no &, else the decoded text in `buffer`.
std::string_view decodeEntities(std::string_view raw, std::string& buffer)
{
    static constexpr struct
    {
        std::string_view entity;
        char character;
    } Entities[] = {{"&amp;", '&'}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}};
    std::size_t amp = raw.find('&');
    if (amp == std::string_view::npos)
        return raw;
    buffer.assign(raw.substr(0, amp));
    for (std::size_t i = amp; i < raw.size(); ++i) {
        if (raw[i] == '&') {
            bool decoded = false;
            for (const auto& e : Entities) {
                if (raw.substr(i, e.entity.size()) == e.entity) {
                    buffer.push_back(e.character);
                    i += e.entity.size() - 1;
                    decoded = true;
                    break;
                }
            }
            if (decoded)
                continue;
        }
        buffer.push_back(raw[i]);
    }
    return buffer;
}

// Equality for short texts without a library call.
bool equalShort(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

bool isHexText(std::string_view text)
{
    if (text.size() % 2 != 0)
        return false;
    for (const char c : text) {
        if (hex::digitValue(c) < 0)
            return false;
    }
    return true;
}

// A table entry may stand for a parm's value only when it is one attribute
// value token (0x80 to 0xFF) and not an element's token: otherwise a password
// that happens to read "parm" or "NAME" would reach the phone as structure.
bool isValueToken(std::string_view name, std::string_view token)
{
    if (token.size() != 2 || hex::digitValue(token[0]) < 8 || hex::digitValue(token[1]) < 0)
        return false;
    return name != "characteristic" && name != "parm" && name != "/characteristic";
}

// STR_I: the value's bytes, those from 0x80 up as the UTF-8 form of the same
// code point (the record's texts are Latin-1), then the terminator. A NUL byte
// cannot travel inside it.
bool appendInlineString(std::string_view value, std::string& out)
{
    const std::size_t start = out.size();
    out.resize(start + InlineStringStart.size() + 4 * value.size() + InlineStringEnd.size());
    char* p = out.data() + start;
    *p++ = InlineStringStart[0];
    *p++ = InlineStringStart[1];
    std::size_t i = 0;
#if defined(__SSE2__)
    // Runs of sixteen plain ASCII characters (no NUL, nothing from 0x80 up)
    // become 32 digits at once.
    for (; value.size() - i >= 16; i += 16) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(value.data() + i));
        if (_mm_movemask_epi8(c) != 0 ||
            _mm_movemask_epi8(_mm_cmpeq_epi8(c, _mm_setzero_si128())) != 0)
            break;
        const __m128i nibble = _mm_set1_epi8(0x0F);
        const auto digits = [](__m128i n) {
            // '0' + n, and 39 more for n above 9 so that 10 becomes 'a'.
            return _mm_add_epi8(
                _mm_add_epi8(n, _mm_set1_epi8('0')),
                _mm_and_si128(_mm_cmpgt_epi8(n, _mm_set1_epi8(9)), _mm_set1_epi8('a' - '0' - 10)));
        };
        const __m128i high = digits(_mm_and_si128(_mm_srli_epi16(c, 4), nibble));
        const __m128i low = digits(_mm_and_si128(c, nibble));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_unpacklo_epi8(high, low));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), _mm_unpackhi_epi8(high, low));
        p += 32;
    }
#endif
    for (const char c : value.substr(i)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0) {
            out.resize(start);
            return false;
        }
        if (byte < 0x80) {
            *p++ = HexDigits[byte >> 4];
            *p++ = HexDigits[byte & 0x0f];
        } else {
            const unsigned lead = 0xC0 | (byte >> 6);
            const unsigned trail = 0x80 | (byte & 0x3F);
            *p++ = HexDigits[lead >> 4];
            *p++ = HexDigits[lead & 0x0f];
            *p++ = HexDigits[trail >> 4];
            *p++ = HexDigits[trail & 0x0f];
        }
    }
    *p++ = InlineStringEnd[0];
    *p++ = InlineStringEnd[1];
    out.resize(static_cast<std::size_t>(p - out.data()));
    return out.size() - start <= MaxItemLength;
}

// One `name="value"` attribute of a document line.
struct Attribute
{
    std::string_view name;
    std::string_view value; // as written, entities not yet decoded
    std::size_t after;      // position just after the closing quote
};

// Nothing when the line ends before the `=` or either quote, or the character
// after `=` is not a quote.
std::optional<Attribute> readAttribute(std::string_view line, std::size_t pos)
{
    pos = skipSpaces(line, pos);
    // Attribute names are a few characters long: a plain scan beats a library call.
    std::size_t equals = pos;
    while (equals < line.size() && line[equals] != '=')
        ++equals;
    if (equals + 1 >= line.size() || line[equals + 1] != '"')
        return std::nullopt;
    const std::size_t valueStart = equals + 2;
    const std::size_t closing = line.find('"', valueStart);
    if (closing == std::string_view::npos)
        return std::nullopt;
    const std::string_view name = line.substr(pos, equals - pos);
    if (name.size() > MaxItemLength)
        return std::nullopt;
    return Attribute{name, line.substr(valueStart, closing - valueStart), closing + 1};
}

} // namespace

bool WbxmlEncoder::loadTokenTable(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        loadTokenTableText({});
        return false;
    }
    // Read through the stream, not its buffer: a read error (a folder, a
    // failing disk) then marks the stream bad instead of throwing.
    std::string text;
    char chunk[4096];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0)
        text.append(chunk, static_cast<std::size_t>(file.gcount()));
    if (file.bad()) {
        loadTokenTableText({});
        return false;
    }
    loadTokenTableText(text);
    return true;
}

void WbxmlEncoder::loadTokenTableText(std::string_view text)
{
    m_pages[0].clear();
    m_pages[1].clear();
    m_structuralNames.clear();
    m_beginnings[0].clear();
    m_beginnings[1].clear();
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        auto entry = parseTokenTableLine(line);
        // Token text that is not whole bytes of hexadecimal would corrupt
        // everything written after it; such an entry is left out, so its name
        // is unknown to the encoder.
        if (entry && isHexText(entry->token) && entry->token.size() + 4 <= MaxItemLength)
            m_pages[entry->codePage == 0 ? 0 : 1].add(std::move(entry->name),
                                                      std::move(entry->token));
    }
}

std::optional<WbxmlEncoder::Found> WbxmlEncoder::find(std::string_view name) const
{
    // Long values (addresses, passwords) need no hashing to be known absent.
    if (name.size() > std::max(m_pages[0].longestName(), m_pages[1].longestName()))
        return std::nullopt;
    const TokenTable::Key key = TokenTable::keyOf(name);
    const int first = m_currentPage;
    const int second = 1 - first;
    if (const std::string* token = m_pages[first].find(key))
        return Found{first, token};
    if (const std::string* token = m_pages[second].find(key))
        return Found{second, token};
    return std::nullopt;
}

void WbxmlEncoder::emit(const Found& found, std::string& out)
{
    if (found.page != m_currentPage) {
        out += "000";
        out.push_back(static_cast<char>('0' + found.page));
        m_currentPage = static_cast<std::uint8_t>(found.page);
    }
    out += *found.token;
}

bool WbxmlEncoder::lookUp(std::string_view name, std::string& out)
{
    const auto found = find(name);
    if (!found)
        return false;
    emit(*found, out);
    return true;
}

bool WbxmlEncoder::lookUpStructural(std::string_view name, std::string& out)
{
    for (StructuralName& memo : m_structuralNames) {
        if (!equalShort(memo.name, name))
            continue;
        StructuralResult& result = memo.byCurrentPage[m_currentPage];
        if (!result.known) {
            const auto found = find(name);
            result = StructuralResult{true, found.has_value(), found ? found->page : 0,
                                      found ? *found->token : std::string{}};
        }
        if (!result.found)
            return false;
        emit(Found{result.page, &result.token}, out);
        return true;
    }
    if (m_structuralNames.size() < MaxStructuralNames) {
        m_structuralNames.push_back(StructuralName{std::string(name), {}});
        return lookUpStructural(name, out);
    }
    return lookUp(name, out);
}

bool WbxmlEncoder::appendValue(std::string_view value, std::string& out)
{
    m_tokensBeforeValue = out.size();
    m_pageBeforeValue = m_currentPage;
    const std::string_view decoded = decodeEntities(value, m_value);
    if (decoded.size() > MaxItemLength)
        return false;
    const auto found = find(decoded);
    if (found && isValueToken(decoded, *found->token)) {
        emit(*found, out);
        return true;
    }
    return appendInlineString(decoded, out);
}

// `element` starts at its `<`. Appends everything up to, not including, the
// final END; `extent` tells how much of the text that depended on.
bool WbxmlEncoder::encodeElement(std::string_view element, std::string& out, Extent& extent)
{
    std::size_t tagEnd = 1;
    while (tagEnd < element.size() && element[tagEnd] != ' ' && element[tagEnd] != '>')
        ++tagEnd;
    const std::string_view tag = element.substr(1, tagEnd - 1);
    if (tag.size() > MaxItemLength)
        return false;
    const std::size_t tokenStart = out.size();
    if (!lookUpStructural(tag, out))
        return false;
    const std::string_view token = std::string_view(out).substr(tokenStart);
    extent = Extent{std::min(tagEnd + 1, element.size()), 0, !token.starts_with(End)};
    if (!extent.needsEnd)
        return true;
    const bool mayHaveSecondAttribute = token.front() == '8';

    // The first attribute (type or name) must be known: its value carries the
    // attribute-start token that tells the phone what the element is.
    const auto first = readAttribute(element, tagEnd);
    if (!first)
        return false;
    lookUpStructural(first->name, out);
    const std::string_view firstValue = decodeEntities(first->value, m_value);
    if (firstValue.size() > MaxItemLength || !lookUp(firstValue, out))
        return false;
    extent.examined = first->after;

    const std::size_t pos = skipSpaces(element, first->after);
    const bool tagEnds = pos < element.size() && (element[pos] == '/' || element[pos] == '>');
    if (!mayHaveSecondAttribute)
        return true;
    if (tagEnds) {
        extent.examined = pos + 1;
        return true;
    }
    const auto second = readAttribute(element, first->after);
    // Without its attribute-start token the value would run on into the name.
    if (!second || !lookUpStructural(second->name, out))
        return false;
    extent.secondValue = static_cast<std::size_t>(second->value.data() - element.data());
    extent.examined = extent.secondValue;
    return appendValue(second->value, out);
}

bool WbxmlEncoder::encodeLine(std::string_view line, std::string& out)
{
    if (line.size() > MaxLineLength)
        return false;
    const std::size_t pos = skipSpaces(line, 0);
    if (pos == line.size() || line[pos] != '<')
        return true; // not an element: contributes nothing
    const std::string_view element = line.substr(pos);

    // What an element writes before its second value depends only on its text
    // up to that value's opening quote (its third quote) and on the current
    // page, and a document repeats the same few dozen such beginnings.
    std::size_t quotes = 0;
    std::size_t prefixEnd = 0;
    while (prefixEnd < element.size() && quotes < 3) {
        if (element[prefixEnd++] == '"')
            ++quotes;
    }
    const std::string_view prefix = element.substr(0, prefixEnd);
    auto& known = m_beginnings[m_currentPage];
    if (const auto it = known.find(prefix); it != known.end()) {
        const Beginning& beginning = it->second;
        out += beginning.tokens;
        m_currentPage = beginning.pageAfter;
        if (beginning.hasSecondValue) {
            const std::size_t closing = element.find('"', prefixEnd);
            if (closing == std::string_view::npos ||
                !appendValue(element.substr(prefixEnd, closing - prefixEnd), out))
                return false;
        }
        if (beginning.needsEnd)
            out += End;
        return true;
    }

    const std::size_t start = out.size();
    Extent extent;
    if (!encodeElement(element, out, extent))
        return false;
    // Kept only when nothing past the beginning mattered; a second value must
    // start right after it.
    const bool hasSecondValue = extent.secondValue != 0;
    if (known.size() < MaxBeginnings && extent.examined <= prefixEnd &&
        (!hasSecondValue || extent.secondValue == prefixEnd)) {
        const std::size_t tokensEnd = hasSecondValue ? m_tokensBeforeValue : out.size();
        known.emplace(std::string(prefix),
                      Beginning{out.substr(start, tokensEnd - start),
                                hasSecondValue ? m_pageBeforeValue : m_currentPage, hasSecondValue,
                                extent.needsEnd});
    }
    if (extent.needsEnd)
        out += End;
    return true;
}

std::optional<std::string> WbxmlEncoder::encodeDocument(std::string_view document)
{
    std::string out;
    out.reserve(document.size() + Header.size());
    out += Header;
    while (!document.empty()) {
        const std::size_t end = document.find('\n');
        const std::string_view line = document.substr(0, end);
        document.remove_prefix(end == std::string_view::npos ? document.size() : end + 1);
        if (!encodeLine(line, out) || out.size() > MaxWbxmlDigits)
            return std::nullopt;
    }
    out += End;
    if (out.size() > MaxWbxmlDigits)
        return std::nullopt;
    return out;
}

} // namespace mailvane::provisioning
