#include "TableText.h"

#include "SettingsFields.h"
#include "Utf8.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace mailvane::rows {
namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeMark = "\xFF\xFE";
constexpr std::string_view Utf16BeMark = "\xFE\xFF";
constexpr std::size_t ChunkSize = 64 * 1024;

// Windows-1252 at 0x80-0x9F; the five holes map to the C1 control of the
// same number, as Windows itself reads them.
constexpr std::array<char32_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isUtf8(std::string_view text)
{
    bool valid = true;
    settings::forEachUtf8Character(text, [&valid](const settings::Utf8Character& c) {
        valid = valid && c.codePoint.has_value();
    });
    return valid;
}

} // namespace

std::optional<std::size_t> MemorySource::read(char* buffer, std::size_t size)
{
    const std::size_t taken = std::min(size, m_bytes.size());
    std::memcpy(buffer, m_bytes.data(), taken);
    m_bytes.remove_prefix(taken);
    return taken;
}

std::optional<std::size_t> FileSource::read(char* buffer, std::size_t size)
{
    errno = 0;
    const std::size_t got = std::fread(buffer, 1, size, m_file);
    if (got == 0 && std::ferror(m_file)) {
        m_error = errno != 0 ? errno : EIO;
        return std::nullopt;
    }
    return got;
}

std::optional<TableEncoding> parseTableEncoding(std::string_view name)
{
    const std::string word = settings::normaliseWord(name);
    if (word == "utf-8" || word == "utf8")
        return TableEncoding::Utf8;
    if (word == "windows-1252" || word == "cp1252")
        return TableEncoding::Windows1252;
    if (word == "latin-1" || word == "latin1" || word == "iso-8859-1")
        return TableEncoding::Latin1;
    return std::nullopt;
}

std::string describe(TextDefect defect, const TextLimits& limits)
{
    switch (defect) {
    case TextDefect::None:
        return "no defect";
    case TextDefect::ReadError:
        return "the file cannot be read";
    case TextDefect::TooLarge:
        return "the file is larger than " + std::to_string(limits.maxBytes) + " bytes";
    case TextDefect::LineTooLong:
        return "the line is longer than " + std::to_string(limits.maxLineLength) + " bytes";
    case TextDefect::NulByte:
        return "the line holds a NUL byte: the file is not text (UTF-16 needs its byte-order "
               "mark)";
    case TextDefect::NotUtf8LikeWindows1252:
        return "the text is not UTF-8; it looks like Windows-1252 (a spreadsheet's CSV export): "
               "give --encoding windows-1252";
    case TextDefect::NotUtf8LikeLatin1:
        return "the text is not UTF-8; it may be Latin-1 or Windows-1252: give --encoding "
               "latin-1 or --encoding windows-1252";
    case TextDefect::CutUtf16:
        return "the UTF-16 text ends inside a character";
    }
    return "unknown defect";
}

LineReader::LineReader(ByteSource& source, TableEncoding encoding, TextLimits limits)
    : m_source(source), m_encoding(encoding), m_limits(limits)
{}

std::optional<std::string_view> LineReader::next()
{
    std::string_view before = m_lineEnd;
    while (m_defect == TextDefect::None) {
        if (m_afterCr) {
            if (m_pos == m_text.size() && !m_ended) {
                if (!fill())
                    return failReading();
                continue;
            }
            if (m_pos < m_text.size() && m_text[m_pos] == '\n') {
                ++m_pos;
                before = "\r\n";
            }
            m_afterCr = false;
        }
        const std::size_t end = m_text.find_first_of("\r\n", m_pos);
        if (end != std::string::npos || (m_ended && m_pos < m_text.size())) {
            const std::size_t stop = end == std::string::npos ? m_text.size() : end;
            ++m_lineNumber;
            m_line.assign(m_text, m_pos, stop - m_pos);
            m_afterCr = end != std::string::npos && m_text[end] == '\r';
            m_endBefore = before;
            m_lineEnd = end == std::string::npos ? "" : m_afterCr ? "\r" : "\n";
            m_pos = end == std::string::npos ? m_text.size() : end + 1;
            if (!checkLine(m_line))
                return std::nullopt;
            return std::string_view(m_line);
        }
        if (m_text.size() - m_pos > m_limits.maxLineLength) {
            m_lineNumber += 1;
            fail(TextDefect::LineTooLong);
            return std::nullopt;
        }
        if (m_ended)
            return std::nullopt;
        m_text.erase(0, m_pos);
        m_pos = 0;
        if (!fill())
            return failReading();
    }
    return std::nullopt;
}

std::optional<std::string_view> LineReader::failReading()
{
    // What the reading found (a cut UTF-16 unit, a read error, a file too
    // large) belongs to the line it was reading, the one after the last given.
    ++m_lineNumber;
    return std::nullopt;
}

bool LineReader::fail(TextDefect defect)
{
    m_defect = defect;
    return false;
}

bool LineReader::checkLine(std::string_view line)
{
    if (line.size() > m_limits.maxLineLength)
        return fail(TextDefect::LineTooLong);
    if (line.find('\0') != std::string_view::npos)
        return fail(TextDefect::NulByte);
    if (m_form == Form::Utf8 && !isUtf8(line)) {
        const bool windows = std::ranges::any_of(line, [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte >= 0x80 && byte <= 0x9F;
        });
        return fail(windows ? TextDefect::NotUtf8LikeWindows1252 : TextDefect::NotUtf8LikeLatin1);
    }
    return true;
}

bool LineReader::fill()
{
    char buffer[ChunkSize];
    const std::optional<std::size_t> got = m_source.read(buffer, sizeof buffer);
    if (!got)
        return fail(TextDefect::ReadError);
    if (*got == 0) {
        m_ended = true;
        if (m_form == Form::Unknown && !detectMark())
            return false;
        decode();
        if (!m_raw.empty() || m_highSurrogate != 0)
            return fail(TextDefect::CutUtf16);
        return true;
    }
    m_bytesRead += *got;
    if (m_bytesRead > m_limits.maxBytes)
        return fail(TextDefect::TooLarge);
    m_raw.append(buffer, *got);
    // A mark is three bytes at most; wait for them.
    if (m_form == Form::Unknown && m_raw.size() < Utf8Mark.size())
        return true;
    if (m_form == Form::Unknown && !detectMark())
        return false;
    decode();
    return true;
}

bool LineReader::detectMark()
{
    const std::string_view raw = m_raw;
    if (raw.starts_with(Utf8Mark)) {
        m_form = Form::Utf8;
        m_raw.erase(0, Utf8Mark.size());
    } else if (raw.starts_with(Utf16LeMark)) {
        m_form = Form::Utf16Le;
        m_raw.erase(0, Utf16LeMark.size());
    } else if (raw.starts_with(Utf16BeMark)) {
        m_form = Form::Utf16Be;
        m_raw.erase(0, Utf16BeMark.size());
    } else {
        m_form = m_encoding == TableEncoding::Utf8 ? Form::Utf8 : Form::SingleByte;
    }
    return true;
}

void LineReader::decode()
{
    switch (m_form) {
    case Form::Unknown:
        return;
    case Form::Utf8:
        m_text += m_raw;
        m_raw.clear();
        return;
    case Form::SingleByte:
        for (const char c : m_raw) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x80)
                m_text += c;
            else if (byte < 0xA0 && m_encoding == TableEncoding::Windows1252)
                settings::appendUtf8(m_text, Windows1252High[byte - 0x80]);
            else
                settings::appendUtf8(m_text, byte);
        }
        m_raw.clear();
        return;
    case Form::Utf16Le:
    case Form::Utf16Be:
        decodeUtf16();
        return;
    }
}

void LineReader::decodeUtf16()
{
    const std::string_view bytes = m_raw;
    const bool little = m_form == Form::Utf16Le;
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        const auto unit = static_cast<char16_t>(little ? first | second << 8 : first << 8 | second);
        if (unit >= 0xD800 && unit < 0xDC00) {
            if (m_highSurrogate != 0)
                settings::appendUtf8(m_text, 0xFFFD);
            m_highSurrogate = unit;
            continue;
        }
        if (unit >= 0xDC00 && unit < 0xE000 && m_highSurrogate != 0) {
            settings::appendUtf8(m_text,
                                 0x10000 + ((m_highSurrogate - 0xD800) << 10) + (unit - 0xDC00));
            m_highSurrogate = 0;
            continue;
        }
        if (m_highSurrogate != 0) {
            settings::appendUtf8(m_text, 0xFFFD);
            m_highSurrogate = 0;
        }
        // A lone low surrogate is no character either.
        settings::appendUtf8(m_text, unit >= 0xDC00 && unit < 0xE000 ? 0xFFFD : unit);
    }
    m_raw.erase(0, i);
}

} // namespace mailvane::rows
