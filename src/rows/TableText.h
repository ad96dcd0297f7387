#pragma once

// The text of a table as spreadsheets save it, turned into UTF-8 as it is
// read: UTF-8 with or without a byte-order mark, UTF-16 in either byte order
// with its mark ("Unicode text"), and, when told, Windows-1252 or Latin-1
// (a "CSV" export on Windows). Lines end in LF, CR LF or a lone CR.
//
// The reader is bounded: it refuses a file larger than its byte limit and a
// line longer than its line limit before holding either.

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace mailvane::rows {

// Where the bytes come from: a file, standard input, a text in memory.
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    // Up to `size` bytes into `buffer`; 0 at the end; nothing on a read error.
    virtual std::optional<std::size_t> read(char* buffer, std::size_t size) = 0;
};

class MemorySource final : public ByteSource
{
public:
    explicit MemorySource(std::string_view bytes) : m_bytes(bytes) {}
    std::optional<std::size_t> read(char* buffer, std::size_t size) override;

private:
    std::string_view m_bytes;
};

// An open file, read from where it stands; not owned.
class FileSource final : public ByteSource
{
public:
    explicit FileSource(std::FILE* file) : m_file(file) {}
    std::optional<std::size_t> read(char* buffer, std::size_t size) override;
    int error() const { return m_error; } // errno of the failed read

private:
    std::FILE* m_file;
    int m_error = 0;
};

// How bytes without a byte-order mark are read. A mark always wins.
enum class TableEncoding
{
    Utf8, // the default: refused with a hint when the bytes are not UTF-8
    Windows1252,
    Latin1,
};

// "utf-8", "windows-1252", "latin-1" (and their usual spellings); nothing
// for any other name.
std::optional<TableEncoding> parseTableEncoding(std::string_view name);

struct TextLimits
{
    std::size_t maxBytes;      // of the file as read, marks included
    std::size_t maxLineLength; // bytes of UTF-8 between two line ends
};

enum class TextDefect
{
    None,
    ReadError,
    TooLarge,
    LineTooLong,
    NulByte,
    NotUtf8LikeWindows1252, // not UTF-8, and bytes 0x80-0x9F say Windows-1252
    NotUtf8LikeLatin1,      // not UTF-8 otherwise
    CutUtf16,               // UTF-16 that ends inside a character
};

// Why text with `defect` cannot be read, with what to do about it.
std::string describe(TextDefect defect, const TextLimits& limits);

// Cuts a source into UTF-8 lines without their line ends.
class LineReader
{
public:
    LineReader(ByteSource& source, TableEncoding encoding, TextLimits limits);

    // The next line; nothing at the end of the text or on a defect. The view
    // holds until the next call.
    std::optional<std::string_view> next();

    // The 1-based number of the line last returned (or where the defect is).
    std::size_t lineNumber() const { return m_lineNumber; }
    // How the line before the one last returned ended: "\r\n", "\n" or "\r".
    std::string_view endBefore() const { return m_endBefore; }
    TextDefect defect() const { return m_defect; }
    const TextLimits& limits() const { return m_limits; }

private:
    bool fill();
    std::optional<std::string_view> failReading();
    void decode();
    void decodeUtf16();
    bool detectMark();
    bool fail(TextDefect defect);
    bool checkLine(std::string_view line);

    enum class Form
    {
        Unknown,
        Utf8,
        Utf16Le,
        Utf16Be,
        SingleByte,
    };

    ByteSource& m_source;
    TableEncoding m_encoding;
    TextLimits m_limits;
    Form m_form = Form::Unknown;
    std::string m_raw;     // bytes read but not yet decoded
    std::string m_text;    // decoded UTF-8 not yet cut into lines
    std::size_t m_pos = 0; // where the next line starts in m_text
    std::string m_line;
    std::string_view m_lineEnd;
    std::string_view m_endBefore;
    char16_t m_highSurrogate = 0;
    std::size_t m_bytesRead = 0;
    std::size_t m_lineNumber = 0;
    bool m_afterCr = false; // the last line ended with a CR: a LF now is its partner
    bool m_ended = false;
    TextDefect m_defect = TextDefect::None;
};

} // namespace mailvane::rows
