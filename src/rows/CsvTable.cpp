#include "CsvTable.h"

#include <algorithm>
#include <array>

namespace mailvane::rows::csv {
namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr char Quote = '"';
constexpr std::string_view Separators = ",;\t";

ParseResult failure(Defect defect, std::size_t line)
{
    ParseResult result;
    result.defect = defect;
    result.line = line;
    return result;
}

// Whether a row whose text was inside a quoted cell at the start of `line`
// still is at its end, by the rules Reader cuts cells with.
bool endsInsideQuote(std::string_view line, bool inside, char separator)
{
    bool cellStart = !inside;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (inside) {
            if (c == Quote) {
                if (i + 1 < line.size() && line[i + 1] == Quote)
                    ++i;
                else
                    inside = false;
            }
        } else if (c == separator) {
            cellStart = true;
        } else {
            inside = cellStart && c == Quote;
            cellStart = false;
        }
    }
    return inside;
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

    // The number of cells of the first row, as far as it can be read.
    std::size_t firstRowCells()
    {
        Row row;
        readRow(row);
        return row.cells.size();
    }

    Defect defect() const { return m_defect; }
    std::size_t defectLine() const { return m_defectLine; }

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

private:
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

bool needsQuotes(std::string_view cell)
{
    return cell.find_first_of(",;\t\"\r\n") != std::string_view::npos;
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
               return cell.find_first_of(Separators) != std::string::npos;
           });
}

} // namespace

RowStream::RowStream(ByteSource& source, TableEncoding encoding, std::optional<char> separator)
    : m_lines(source, encoding, Limits), m_separator(separator)
{}

bool RowStream::fail(Defect defect, std::size_t line)
{
    m_defect = defect;
    m_defectLine = line;
    return false;
}

bool RowStream::takeLine(PendingLine& line)
{
    if (!m_pending.empty()) {
        line = std::move(m_pending.front());
        m_pending.pop_front();
        return true;
    }
    const std::optional<std::string_view> text = m_lines.next();
    if (!text)
        return false;
    line = {std::string(*text), m_lines.endBefore(), m_lines.lineNumber()};
    return true;
}

void RowStream::detectSeparator()
{
    // Each separator may see the first row end on another line (a quote
    // opens a cell only at its start), so the lines are looked ahead at
    // until every separator's first row has ended.
    constexpr std::array<char, 3> Candidates = {',', ';', '\t'};
    std::array<bool, 3> inside{};
    std::array<std::size_t, 3> lines{};
    std::size_t bytes = 0;
    while (const std::optional<std::string_view> text = m_lines.next()) {
        m_pending.push_back({std::string(*text), m_lines.endBefore(), m_lines.lineNumber()});
        bytes += text->size() + 2;
        const bool firstLine = m_pending.size() == 1;
        for (std::size_t i = 0; i < Candidates.size(); ++i) {
            if (firstLine || inside[i]) {
                inside[i] = endsInsideQuote(*text, !firstLine, Candidates[i]);
                lines[i] = m_pending.size();
            }
        }
        if (std::ranges::none_of(inside, [](bool open) { return open; }) || bytes > MaxLineLength)
            break;
    }
    std::size_t most = 0;
    for (std::size_t i = 0; i < Candidates.size(); ++i) {
        std::string firstRow;
        for (std::size_t k = 0; k < lines[i]; ++k) {
            if (k > 0)
                firstRow += m_pending[k].endBefore;
            firstRow += m_pending[k].text;
        }
        const std::size_t cells = Reader(firstRow, Candidates[i]).firstRowCells();
        if (i == 0 || cells > most) {
            m_separator = Candidates[i];
            most = cells;
        }
    }
}

bool RowStream::next(Row& row)
{
    if (m_defect != Defect::None)
        return false;
    if (!m_separator)
        detectSeparator();
    PendingLine line;
    if (!takeLine(line))
        return m_lines.defect() == TextDefect::None ? false
                                                    : fail(Defect::Text, m_lines.lineNumber());
    const std::size_t first = line.number;
    m_rowText = std::move(line.text);
    bool inside = endsInsideQuote(m_rowText, false, *m_separator);
    while (inside) {
        if (!takeLine(line))
            return m_lines.defect() == TextDefect::None ? fail(Defect::UnclosedQuote, first)
                                                        : fail(Defect::Text, m_lines.lineNumber());
        if (m_rowText.size() + 2 + line.text.size() > MaxLineLength)
            return fail(Defect::RowTooLong, first);
        m_rowText += line.endBefore;
        m_rowText += line.text;
        inside = endsInsideQuote(line.text, true, *m_separator);
    }
    if (++m_rows > MaxRows + 1)
        return fail(Defect::TooManyRows, first);
    row.cells.clear();
    Reader reader(m_rowText, *m_separator);
    if (!reader.readRow(row))
        return fail(reader.defect(), first + reader.defectLine() - 1);
    row.line = first;
    m_cells += row.cells.size();
    if (m_cells > MaxCells)
        return fail(Defect::TooManyCells, first);
    return true;
}

namespace {

ParseResult parseWith(std::string_view bytes, std::optional<char> separator,
                      TableEncoding encoding = TableEncoding::Utf8)
{
    MemorySource source(bytes);
    RowStream stream(source, encoding, separator);
    ParseResult result;
    Row row;
    while (stream.next(row))
        result.rows.push_back(row);
    if (stream.defect() != Defect::None) {
        result = failure(stream.defect(), stream.defectLine());
        result.text = stream.textDefect();
    }
    result.separator = stream.separator();
    return result;
}

} // namespace

ParseResult parse(std::string_view bytes)
{
    return parseWith(bytes, std::nullopt);
}

ParseResult parse(std::string_view bytes, char separator)
{
    return parseWith(bytes, separator);
}

ParseResult parse(std::string_view bytes, TableEncoding encoding)
{
    return parseWith(bytes, std::nullopt, encoding);
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

std::string describe(Defect defect, TextDefect text)
{
    switch (defect) {
    case Defect::None:
        return "no defect";
    case Defect::Text:
        return rows::describe(text, Limits);
    case Defect::RowTooLong:
        return "the row (its quoted line ends too) is longer than " +
               std::to_string(MaxLineLength) + " bytes";
    case Defect::TooManyRows:
        return "the table has more than " + std::to_string(MaxRows) + " rows after its header";
    case Defect::TooManyColumns:
        return "the row has more than " + std::to_string(MaxColumns) + " cells";
    case Defect::TooManyCells:
        return "the table has more than " + std::to_string(MaxCells) + " cells";
    case Defect::UnclosedQuote:
        return "a quoted cell that starts here is never closed";
    case Defect::TextAfterQuote:
        return "a quoted cell is followed by more than a separator or a line end";
    }
    return "unknown defect";
}

} // namespace mailvane::rows::csv
