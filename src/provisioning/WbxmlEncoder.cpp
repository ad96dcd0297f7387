#include "WbxmlEncoder.h"

#include "HexText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace mailvane::provisioning::wbxml {
namespace {

// WBXML 1.3, public identifier 0x0B (provisioning 1.0), UTF-8, no string table,
// then the root element with attributes and content, version="1.0" and the END
// of its attribute list.
constexpr std::string_view Header = "030b6a00c54601";
constexpr std::string_view End = "01";
constexpr std::string_view InlineStringStart = "03";
constexpr std::string_view InlineStringEnd = "00";

// The text written so far and the code page in force after it.
struct Output
{
    std::string text;
    std::uint8_t page = 0;
};

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

// A table entry may stand for a parm's value only when it is one attribute
// value token (0x80 to 0xFF) and not an element's token: otherwise a password
// that happens to read "parm" or "NAME" would reach the phone as structure.
bool isValueToken(std::string_view name, std::string_view token)
{
    if (token.size() != 2 || hex::digitValue(token[0]) < 8 || hex::digitValue(token[1]) < 0)
        return false;
    return name != "characteristic" && name != "parm" && name != "/characteristic";
}

// How many characters `text` starts with that are below 0x80 and not NUL:
// those an inline string carries as they are. Eight at a time, since values
// are mostly such characters.
std::size_t plainPrefixLength(std::string_view text)
{
    constexpr std::uint64_t Ones = 0x0101010101010101u;
    constexpr std::uint64_t HighBits = 0x8080808080808080u;
    std::size_t i = 0;
    for (; text.size() - i >= 8; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        // A high bit set, or a NUL byte among the eight.
        if (((word | ((word - Ones) & ~word)) & HighBits) != 0)
            break;
    }
    while (i < text.size() && text[i] != '\0' && static_cast<unsigned char>(text[i]) < 0x80)
        ++i;
    return i;
}

// STR_I: the value's bytes, those from 0x80 up as the UTF-8 form of the same
// code point (the record's texts are Latin-1), then the terminator. A NUL byte
// cannot travel inside it.
bool appendInlineString(std::string_view value, std::string& out)
{
    const std::size_t start = out.size();
    out += InlineStringStart;
    while (!value.empty()) {
        const std::size_t plain = plainPrefixLength(value);
        hex::append(value.substr(0, plain), out);
        value.remove_prefix(plain);
        if (value.empty())
            break;
        const auto byte = static_cast<unsigned char>(value.front());
        if (byte == 0)
            return false;
        const char utf8[] = {static_cast<char>(0xC0 | (byte >> 6)),
                             static_cast<char>(0x80 | (byte & 0x3F))};
        hex::append({utf8, sizeof utf8}, out);
        value.remove_prefix(1);
    }
    out += InlineStringEnd;
    return out.size() - start <= MaxItemLength;
}

// A parm's second value: its token when the tables hold one that may stand
// for a value, else an inline string.
bool appendValue(std::string_view raw, const TokenTables& tables, Output& out)
{
    std::string buffer;
    const std::string_view value = decodeEntities(raw, buffer);
    if (value.size() > MaxItemLength)
        return false;
    const auto token = tables.find(value, out.page);
    if (token && isValueToken(value, token->text)) {
        TokenTables::append(*token, out.page, out.text);
        return true;
    }
    return appendInlineString(value, out.text);
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

// What an element's encoding depended on: how much of its text (offsets from
// its `<`), where its second value starts (0 for none), what was written just
// before that value, and whether an END must close its attribute list.
struct ElementShape
{
    std::size_t examined = 0;
    std::size_t secondValue = 0;
    std::size_t outputBeforeValue = 0;
    std::uint8_t pageBeforeValue = 0;
    bool needsEnd = false;
};

// `element` starts at its `<`. Appends everything up to, not including, the
// final END.
bool appendElement(std::string_view element, const TokenTables& tables, Output& out,
                   ElementShape& shape)
{
    std::size_t tagEnd = 1;
    while (tagEnd < element.size() && element[tagEnd] != ' ' && element[tagEnd] != '>')
        ++tagEnd;
    const std::string_view tag = element.substr(1, tagEnd - 1);
    if (tag.size() > MaxItemLength)
        return false;
    const std::size_t tokenStart = out.text.size();
    if (!tables.lookUp(tag, out.page, out.text))
        return false;
    const std::string_view token = std::string_view(out.text).substr(tokenStart);
    shape.examined = std::min(tagEnd + 1, element.size());
    shape.needsEnd = !token.starts_with(End);
    if (!shape.needsEnd)
        return true; // an end tag: the line is done
    const bool mayHaveSecondAttribute = token.front() == '8';

    // The first attribute (type or name) must be known: its value carries the
    // attribute-start token that tells the phone what the element is.
    const auto first = readAttribute(element, tagEnd);
    if (!first)
        return false;
    tables.lookUp(first->name, out.page, out.text);
    std::string buffer;
    const std::string_view firstValue = decodeEntities(first->value, buffer);
    if (firstValue.size() > MaxItemLength || !tables.lookUp(firstValue, out.page, out.text))
        return false;
    shape.examined = first->after;

    const std::size_t pos = skipSpaces(element, first->after);
    const bool tagEnds = pos < element.size() && (element[pos] == '/' || element[pos] == '>');
    if (!mayHaveSecondAttribute)
        return true;
    if (tagEnds) {
        shape.examined = pos + 1;
        return true;
    }
    const auto second = readAttribute(element, first->after);
    // Without its attribute-start token the value would run on into the name.
    if (!second || !tables.lookUp(second->name, out.page, out.text))
        return false;
    shape.secondValue = static_cast<std::size_t>(second->value.data() - element.data());
    shape.examined = shape.secondValue;
    shape.outputBeforeValue = out.text.size();
    shape.pageBeforeValue = out.page;
    return appendValue(second->value, tables, out);
}

bool appendLine(std::string_view line, const TokenTables& tables, Output& out)
{
    if (line.size() > MaxLineLength)
        return false;
    const std::size_t pos = skipSpaces(line, 0);
    if (pos == line.size() || line[pos] != '<')
        return true; // not an element: contributes nothing
    const std::string_view element = line.substr(pos);

    // What an element writes before its second value depends only on its text
    // up to that value's opening quote (its third quote) and on the current
    // page.
    std::size_t quotes = 0;
    std::size_t prefixEnd = 0;
    while (prefixEnd < element.size() && quotes < 3) {
        if (element[prefixEnd++] == '"')
            ++quotes;
    }
    const std::string_view prefix = element.substr(0, prefixEnd);
    ElementCache& cache = tables.elementCache();
    if (const ElementCache::Beginning* beginning = cache.find(prefix, out.page)) {
        out.text += beginning->tokens;
        out.page = beginning->pageAfter;
        if (beginning->hasSecondValue) {
            const std::size_t closing = element.find('"', prefixEnd);
            if (closing == std::string_view::npos ||
                !appendValue(element.substr(prefixEnd, closing - prefixEnd), tables, out))
                return false;
        }
        if (beginning->needsEnd)
            out.text += End;
        return true;
    }

    const std::size_t start = out.text.size();
    const std::uint8_t pageBefore = out.page;
    ElementShape shape;
    if (!appendElement(element, tables, out, shape))
        return false;
    // Kept only when nothing past the beginning mattered; a second value must
    // start right after it.
    const bool hasSecondValue = shape.secondValue != 0;
    if (shape.examined <= prefixEnd && (!hasSecondValue || shape.secondValue == prefixEnd)) {
        const std::size_t tokensEnd = hasSecondValue ? shape.outputBeforeValue : out.text.size();
        cache.add(prefix, pageBefore,
                  ElementCache::Beginning{out.text.substr(start, tokensEnd - start),
                                          hasSecondValue ? shape.pageBeforeValue : out.page,
                                          hasSecondValue, shape.needsEnd});
    }
    if (shape.needsEnd)
        out.text += End; // of the attribute list
    return true;
}

} // namespace

std::optional<std::string> encode(std::string_view document, const TokenTables& tables)
{
    Output out;
    out.text.reserve(document.size() + Header.size());
    out.text += Header;
    while (!document.empty()) {
        const std::size_t end = document.find('\n');
        const std::string_view line = document.substr(0, end);
        document.remove_prefix(end == std::string_view::npos ? document.size() : end + 1);
        if (!appendLine(line, tables, out) || out.text.size() > MaxWbxmlDigits)
            return std::nullopt;
    }
    out.text += End;
    if (out.text.size() > MaxWbxmlDigits)
        return std::nullopt;
    return std::move(out.text);
}

} // namespace mailvane::provisioning::wbxml
