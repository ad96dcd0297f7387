#pragma once

// Tables as spreadsheets save them as CSV: cells separated by ',' or ';'
// (the latter where the comma is the decimal mark), lines ended by CR LF or
// LF, a UTF-8 byte-order mark at the start dropped. A cell that starts with a
// double quote runs to the closing quote and may hold separators, line ends
// and doubled quotes; elsewhere a quote is an ordinary character.
//
// The codec is stateless and works on bytes: it neither checks nor converts
// the text's encoding.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mailvane::rows::csv {

// A spreadsheet of ten thousand people is well under a megabyte; these only
// keep a wrong or hostile file from taking the memory.
inline constexpr std::size_t MaxTableBytes = 64 * 1024 * 1024;
inline constexpr std::size_t MaxLineLength = 64 * 1024; // bytes between two line ends
inline constexpr std::size_t MaxRows = 200'000;
inline constexpr std::size_t MaxColumns = 256;

struct Row
{
    std::size_t line = 0; // 1-based line on which the row starts
    std::vector<std::string> cells;

    bool operator==(const Row&) const = default;
};

enum class Defect
{
    None,
    TooLarge,       // more than MaxTableBytes
    LineTooLong,    // a line longer than MaxLineLength
    TooManyRows,    // more than MaxRows
    TooManyColumns, // a row with more than MaxColumns cells
    UnclosedQuote,  // a quoted cell runs to the end of the text
    TextAfterQuote, // a closing quote followed by more than a separator or line end
    NulByte,        // text files hold none
};

struct ParseResult
{
    Defect defect = Defect::None;
    std::size_t line = 0; // where the defect is
    char separator = ',';
    std::vector<Row> rows;

    bool ok() const { return defect == Defect::None; }
};

// Reads `bytes` with the separator that splits the first row into more
// cells (',' when neither does). Every line gives a row (an
// empty line one empty cell); the line end after the last row gives none.
ParseResult parse(std::string_view bytes);
// The same with the separator given.
ParseResult parse(std::string_view bytes, char separator);

// Writes rows that parse() reads back as the same cells: cells quoted where
// they hold a separator of either kind, a quote or a line end (and the first
// cell of a first row that holds a separator, so that it is found again),
// lines ended by CR LF. A row needs at least one cell (an empty row reads back as one empty
// cell); with ';' the first row needs two, or the separator is taken for ','.
std::string write(const std::vector<std::vector<std::string>>& rows, char separator = ',');

std::string describe(Defect defect);

} // namespace mailvane::rows::csv
