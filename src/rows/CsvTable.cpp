#include "CsvTable.h"

#include <algorithm>

namespace mailvane::rows::csv {
namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr char Quote = '"';

ParseResult failure(Defect defect, std::size_t line)
{
    ParseResult result;
    result.defect = defect;
    result.line = line;
    return result;
}

// NUL bytes and overlong lines, found before any cell is cut so that a
// binary file is refused with the line it goes wrong on.
std::optional<ParseResult> lineDefect(std::string_view text)
{
    std::size_t line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\0')
            return failure(Defect::NulByte, line);
        if (text[i] == '\n') {
            if (i - lineStart > MaxLineLength)
                return failure(Defect::LineTooLong, line);
            ++line;
            lineStart = i + 1;
        }
    }
    if (text.size() - lineStart > MaxLineLength)
        return failure(Defect::LineTooLong, line);
    return std::nullopt;
}

// Whether the CR at `at` belongs to a line end: CR LF, or a CR that ends the text.
bool isLineEndCr(std::string_view text, std::size_t at)
{
    return at < text.size() && text[at] == '\r' && (at + 1 == text.size() || text[at + 1] == '\n');
}

class Reader
{
public:
    Reader(std::string_view text, char separator) : m_text(text), m_separator(separator) {}

    ParseResult read()
    {
        ParseResult result;
        result.separator = m_separator;
        while (m_pos < m_text.size()) {
            if (result.rows.size() == MaxRows)
                return failure(Defect::TooManyRows, m_line);
            Row row;
            if (!readRow(row))
                return failure(m_defect, m_defectLine);
            result.rows.push_back(std::move(row));
        }
        return result;
    }

    // The number of cells of the first row, as far as it can be read.
    std::size_t firstRowCells()
    {
        Row row;
        readRow(row);
        return row.cells.size();
    }

private:
    bool readRow(Row& row)
    {
        row.line = m_line;
        do {
            if (row.cells.size() == MaxColumns) {
                m_defect = Defect::TooManyColumns;
                m_defectLine = row.line;
                return false;
            }
            std::optional<std::string> cell = atQuote() ? quotedCell() : std::optional(plainCell());
            if (!cell)
                return false;
            row.cells.push_back(std::move(*cell));
        } while (takeSeparator());
        if (m_pos < m_text.size()) {
            ++m_pos; // the line feed
            ++m_line;
        }
        return true;
    }

    bool atQuote() const { return m_pos < m_text.size() && m_text[m_pos] == Quote; }

    bool takeSeparator()
    {
        if (m_pos < m_text.size() && m_text[m_pos] == m_separator) {
            ++m_pos;
            return true;
        }
        return false;
    }

    std::string plainCell()
    {
        std::size_t end = m_pos;
        while (end < m_text.size() && m_text[end] != m_separator && m_text[end] != '\n')
            ++end;
        std::size_t cellEnd = end;
        if (cellEnd > m_pos && isLineEndCr(m_text, cellEnd - 1))
            --cellEnd;
        std::string cell(m_text.substr(m_pos, cellEnd - m_pos));
        m_pos = end;
        return cell;
    }

    std::optional<std::string> quotedCell()
    {
        const std::size_t opened = m_line;
        ++m_pos;
        std::string cell;
        for (;;) {
            if (m_pos >= m_text.size()) {
                m_defect = Defect::UnclosedQuote;
                m_defectLine = opened;
                return std::nullopt;
            }
            const char c = m_text[m_pos++];
            if (c == Quote) {
                if (m_pos < m_text.size() && m_text[m_pos] == Quote) {
                    cell += Quote;
                    ++m_pos;
                    continue;
                }
                break;
            }
            if (c == '\n')
                ++m_line;
            cell += c;
        }
        if (isLineEndCr(m_text, m_pos))
            ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] != m_separator && m_text[m_pos] != '\n') {
            m_defect = Defect::TextAfterQuote;
            m_defectLine = m_line;
            return std::nullopt;
        }
        return cell;
    }

    std::string_view m_text;
    char m_separator;
    std::size_t m_pos = 0;
    std::size_t m_line = 1;
    Defect m_defect = Defect::None;
    std::size_t m_defectLine = 0;
};

// The separator with which the first row has more cells.
char detectSeparator(std::string_view text)
{
    return Reader(text, ';').firstRowCells() > Reader(text, ',').firstRowCells() ? ';' : ',';
}

bool needsQuotes(std::string_view cell)
{
    return cell.find_first_of(",;\"\r\n") != std::string_view::npos;
}

void appendCell(std::string& out, std::string_view cell, bool quote)
{
    if (!quote) {
        out += cell;
        return;
    }
    out += Quote;
    for (const char c : cell) {
        if (c == Quote)
            out += Quote;
        out += c;
    }
    out += Quote;
}

// Whether the first cell of the first row must be quoted for the separator
// to be found again. The reader takes the separator that splits the first row
// into more cells, and a quoted cell holding the other one may split into
// more at that one: a,"x;y;z" is three cells at ';'. A quoted first cell
// followed by the separator written is no cell at all at the other one.
bool firstCellNeedsQuotes(const std::vector<std::string>& firstRow)
{
    return firstRow.size() >= 2 && std::ranges::any_of(firstRow, [](const std::string& cell) {
               return cell.find_first_of(",;") != std::string::npos;
           });
}

} // namespace

ParseResult parse(std::string_view bytes)
{
    if (bytes.size() > MaxTableBytes)
        return failure(Defect::TooLarge, 0);
    if (bytes.starts_with(ByteOrderMark))
        return parse(bytes, detectSeparator(bytes.substr(ByteOrderMark.size())));
    return parse(bytes, detectSeparator(bytes));
}

ParseResult parse(std::string_view bytes, char separator)
{
    if (bytes.size() > MaxTableBytes)
        return failure(Defect::TooLarge, 0);
    if (std::optional<ParseResult> defect = lineDefect(bytes))
        return *defect;
    if (bytes.starts_with(ByteOrderMark))
        bytes.remove_prefix(ByteOrderMark.size());
    return Reader(bytes, separator).read();
}

std::string write(const std::vector<std::vector<std::string>>& rows, char separator)
{
    std::string out;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::vector<std::string>& cells = rows[r];
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (c > 0)
                out += separator;
            // A mark at the very start would be taken for the byte-order mark;
            // a lone empty cell is clearer quoted than as an empty line.
            const bool quote =
                needsQuotes(cells[c]) ||
                (r == 0 && c == 0 &&
                 (cells[c].starts_with(ByteOrderMark) || firstCellNeedsQuotes(cells))) ||
                (cells.size() == 1 && cells[c].empty());
            appendCell(out, cells[c], quote);
        }
        out += "\r\n";
    }
    return out;
}

std::string describe(Defect defect)
{
    switch (defect) {
    case Defect::None:
        return "no defect";
    case Defect::TooLarge:
        return "the table is larger than " + std::to_string(MaxTableBytes) + " bytes";
    case Defect::LineTooLong:
        return "the line is longer than " + std::to_string(MaxLineLength) + " bytes";
    case Defect::TooManyRows:
        return "the table has more than " + std::to_string(MaxRows) + " rows";
    case Defect::TooManyColumns:
        return "the row has more than " + std::to_string(MaxColumns) + " cells";
    case Defect::UnclosedQuote:
        return "a quoted cell that starts here is never closed";
    case Defect::TextAfterQuote:
        return "a quoted cell is followed by more than a separator or a line end";
    case Defect::NulByte:
        return "the line holds a NUL byte; the table is not text";
    }
    return "unknown defect";
}

} // namespace mailvane::rows::csv
