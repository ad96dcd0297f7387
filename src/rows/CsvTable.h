#pragma once

// Tables as spreadsheets save them as CSV: cells separated by ',' or ';'
// (the latter where the comma is the decimal mark) or a tab ("Unicode
// text"), lines ended by CR LF, LF or a lone CR, in the encodings that
// TableText reads. A cell that starts with a double quote runs to the
// closing quote and may hold separators, line ends (read as LF) and doubled
// quotes; elsewhere a quote is an ordinary character.
//
// Rows are read one at a time, so that a table of any length is read in
// the memory of one row.

#include "TableText.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mailvane::rows::csv {

// A million people fit; these only keep a wrong or hostile file from taking
// the time and memory.
inline constexpr std::size_t MaxTableBytes = 512 * 1024 * 1024;
inline constexpr std::size_t MaxLineLength = 64 * 1024; // bytes of one row, quoted line ends too
inline constexpr std::size_t MaxRows = 1'000'000;       // after the first, which names the columns
inline constexpr std::size_t MaxColumns = 256;          // cells of one row
inline constexpr std::size_t MaxCells = 50'000'000;     // cells of the whole table
inline constexpr TextLimits Limits{MaxTableBytes, MaxLineLength};

struct Row
{
    std::size_t line = 0; // 1-based line on which the row starts
    std::vector<std::string> cells;

    bool operator==(const Row&) const = default;
};

enum class Defect
{
    None,
    Text,           // the text cannot be read: TextDefect says why
    RowTooLong,     // a row over several lines longer than MaxLineLength
    TooManyRows,    // more than MaxRows after the first
    TooManyColumns, // a row with more than MaxColumns cells
    TooManyCells,   // more than MaxCells in all
    UnclosedQuote,  // a quoted cell runs to the end of the text
    TextAfterQuote, // a closing quote followed by more than a separator or line end
};

struct ParseResult
{
    Defect defect = Defect::None;
    TextDefect text = TextDefect::None; // for Defect::Text
    std::size_t line = 0;               // where the defect is
    char separator = ',';
    std::vector<Row> rows;

    bool ok() const { return defect == Defect::None; }
};

// Reads a table one row at a time, with the separator that splits the first
// row into the most cells (tab, then ';', then ',' on a tie) unless one is given.
// Every line gives a row (an empty line one empty cell); the line end after
// the last row gives none.
class RowStream
{
public:
    RowStream(ByteSource& source, TableEncoding encoding = TableEncoding::Utf8,
              std::optional<char> separator = std::nullopt);

    // The next row into `row`; false at the end or on a defect.
    bool next(Row& row);

    Defect defect() const { return m_defect; }
    TextDefect textDefect() const { return m_lines.defect(); }
    std::size_t defectLine() const { return m_defectLine; }
    char separator() const { return m_separator.value_or(','); }

private:
    // A line read ahead of its row, while the separator is being found.
    struct PendingLine
    {
        std::string text;
        std::string_view endBefore; // how the line before it ended
        std::size_t number = 0;
    };

    bool fail(Defect defect, std::size_t line);
    bool takeLine(PendingLine& line);
    void detectSeparator();

    LineReader m_lines;
    std::deque<PendingLine> m_pending;
    std::optional<char> m_separator;
    std::string m_rowText;
    std::size_t m_rows = 0;
    std::size_t m_cells = 0;
    Defect m_defect = Defect::None;
    std::size_t m_defectLine = 0;
};

// The whole of `bytes` (UTF-8), read as RowStream reads it.
ParseResult parse(std::string_view bytes);
// The same with the separator given.
ParseResult parse(std::string_view bytes, char separator);
// The same for bytes in `encoding` (when they carry no byte-order mark).
ParseResult parse(std::string_view bytes, TableEncoding encoding);

// Writes rows that parse() reads back as the same cells: cells quoted where
// they hold a separator of either kind, a quote or a line end (and the first
// cell of a first row that holds a separator, so that it is found again),
// lines ended by CR LF. A row needs at least one cell (an empty row reads back as one empty
// cell); with ';' the first row needs two, or the separator is taken for ','.
std::string write(const std::vector<std::vector<std::string>>& rows, char separator = ',');

// Why the table cannot be read; `text` for Defect::Text.
std::string describe(Defect defect, TextDefect text = TextDefect::None);

} // namespace mailvane::rows::csv
