#include "CsvTable.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

using namespace mailvane::rows;

namespace {

using Cells = std::vector<std::vector<std::string>>;

Cells cellsOf(const csv::ParseResult& result)
{
    Cells cells;
    for (const csv::Row& row : result.rows)
        cells.push_back(row.cells);
    return cells;
}

} // namespace

TEST(CsvTable, readsTheFormsSpreadsheetsWrite)
{
    struct Case
    {
        const char* name;
        std::string text;
        Cells cells;
        std::vector<std::size_t> lines;
    };
    const Case cases[] = {
        {"comma, LF", "number,pin\n+491,1234\n", {{"number", "pin"}, {"+491", "1234"}}, {1, 2}},
        {"CR LF, no final line end",
         "number,pin\r\n+491,1234\r\n+492,",
         {{"number", "pin"}, {"+491", "1234"}, {"+492", ""}},
         {1, 2, 3}},
        {"byte-order mark and semicolons with a bare comma in a cell",
         "\xEF\xBB\xBFnumber;Mailbox\r\n+491;Berg, Anna\r\n",
         {{"number", "Mailbox"}, {"+491", "Berg, Anna"}},
         {1, 2}},
        {"quoted separators, doubled quotes and a quote inside a bare cell",
         "a,b,c\n\"x,y\",\"say \"\"hi\"\"\",5\" disk\n",
         {{"a", "b", "c"}, {"x,y", "say \"hi\"", "5\" disk"}},
         {1, 2}},
        {"line ends inside quotes count as lines",
         "a,b\n\"two\nlines\",\"crlf\r\nkept\"\nnext,row\n",
         {{"a", "b"}, {"two\nlines", "crlf\r\nkept"}, {"next", "row"}},
         {1, 2, 5}},
        {"empty line and empty cells", "a,b\n\n,\n", {{"a", "b"}, {""}, {"", ""}}, {1, 2, 3}},
        {"a lone CR ends a line", "a\rb,c\r\n", {{"a"}, {"b", "c"}}, {1, 2}},
        // The reader takes 64 KiB at a time: a CR LF cut between two reads
        // is still one line end.
        {"CR LF across two reads",
         std::string(65535, 'a') + "\r\nb\n",
         {{std::string(65535, 'a')}, {"b"}},
         {1, 2}},
        {"UTF-8 is kept as bytes",
         "Mailbox\nB\xC3\xA9rg\n",
         {{"Mailbox"}, {"B\xC3\xA9rg"}},
         {1, 2}},
        {"nothing", "", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const csv::ParseResult result = csv::parse(c.text);
        ASSERT_TRUE(result.ok()) << csv::describe(result.defect) << " at line " << result.line;
        EXPECT_EQ(cellsOf(result), c.cells);
        std::vector<std::size_t> lines;
        for (const csv::Row& row : result.rows)
            lines.push_back(row.line);
        EXPECT_EQ(lines, c.lines);
    }
    EXPECT_EQ(csv::parse("a;b\n").separator, ';');
    EXPECT_EQ(csv::parse("a,b;c\n").separator, ',');
    EXPECT_EQ(csv::parse("\"a;b\",c\n").separator, ',');
}

TEST(CsvTable, brokenTablesAreRefusedWithTheLineAtFault)
{
    std::string manyRows;
    for (std::size_t i = 0; i <= csv::MaxRows + 1; ++i) // the header is not counted
        manyRows += "1\n";
    struct Case
    {
        const char* name;
        std::string text;
        csv::Defect defect;
        std::size_t line;
    };
    const Case cases[] = {
        {"unclosed quote", "a,b\n1,\"open\n2,3\n", csv::Defect::UnclosedQuote, 2},
        {"text after a closing quote", "a,b\n\"x\"y,2\n", csv::Defect::TextAfterQuote, 2},
        {"NUL byte", std::string("a\nb\nc\0d\n", 8), csv::Defect::Text, 3},
        {"overlong line", "a\n" + std::string(csv::MaxLineLength + 1, 'x') + "\n",
         csv::Defect::Text, 2},
        {"overlong row over lines",
         "a\n\"" + std::string(csv::MaxLineLength / 2, 'x') + "\n" +
             std::string(csv::MaxLineLength / 2, 'x') + "\"\n",
         csv::Defect::RowTooLong, 2},
        {"not UTF-8", "a\n\x93quoted\x94\n", csv::Defect::Text, 2},
        // Read whole in one go, the cut is found before any line is given.
        {"UTF-16 cut in a unit", std::string("\xFF\xFE" "a\0\n\0b", 7), csv::Defect::Text, 2},
        {"UTF-16 one byte", std::string("\xFF\xFE" "a", 3), csv::Defect::Text, 1},
        {"too many cells", "a\n" + std::string(csv::MaxColumns, ',') + "\n",
         csv::Defect::TooManyColumns, 2},
        {"too many rows", manyRows, csv::Defect::TooManyRows, csv::MaxRows + 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const csv::ParseResult result = csv::parse(c.text);
        EXPECT_EQ(result.defect, c.defect);
        EXPECT_EQ(result.line, c.line);
        EXPECT_TRUE(result.rows.empty());
    }
    // Exactly at the limits is still a table.
    EXPECT_TRUE(csv::parse("a\n" + std::string(csv::MaxLineLength, 'x')).ok());
    EXPECT_TRUE(csv::parse(std::string(csv::MaxColumns - 1, ',')).ok());
    // The file size is counted as read, before any line is held.
    const std::string big(100, '\n');
    MemorySource source(big);
    LineReader lines(source, TableEncoding::Utf8, {99, 10});
    while (lines.next()) {
    }
    EXPECT_EQ(lines.defect(), TextDefect::TooLarge);
}

TEST(CsvTable, rowsReadBackFromATableWrittenFromThemAreTheSame)
{
    const Cells rows = {
        {"\xEF\xBB\xBFmark", "number", "E-Mail Address"},
        {"a,b", "c;d", "say \"hi\""},
        {"", " padded ", "two\nlines"},
        {"crlf\r\nin a cell", "trailing cr\r", "\"quoted\""},
        {""},
        {"B\xC3\xA9rg", "x", ""},
        {"one more", ",", ";", "\t"},
    };
    for (const char separator : {',', ';', '\t'}) {
        SCOPED_TRACE(separator);
        const std::string text = csv::write(rows, separator);
        const csv::ParseResult detected = csv::parse(text);
        ASSERT_TRUE(detected.ok()) << csv::describe(detected.defect);
        EXPECT_EQ(detected.separator, separator);
        EXPECT_EQ(cellsOf(detected), rows);
        EXPECT_EQ(cellsOf(csv::parse(text, separator)), rows);
    }
}

// The separator is found again however the first row's cells hold the other
// one, in the cells the reader took for one row of a table found by fuzzing.
TEST(CsvTable, aFirstRowWhoseCellsHoldTheOtherSeparatorKeepsItsSeparator)
{
    std::ifstream file(MAILVANE_TEST_DATA_DIR "/csv-first-row-cell-holding-the-other-separator.csv",
                       std::ios::binary);
    ASSERT_TRUE(file);
    const std::string found{std::istreambuf_iterator<char>(file), {}};
    // Its byte-order mark says UTF-8, but it is not: read its cells as Latin-1.
    const csv::ParseResult fromFile = csv::parse(found.substr(3), TableEncoding::Latin1);
    ASSERT_TRUE(fromFile.ok()) << csv::describe(fromFile.defect, fromFile.text) << fromFile.line;

    const Cells tables[] = {
        {{"a", "x;y;z"}, {"1", "2"}},
        {{"a", "x,y,z"}, {"1", "2"}},
        {{"a", "x,y", "p;q;r;s"}},
        {{"first cell\nover lines", "b"}, {"1", "2"}}, // read ahead past its first line
        cellsOf(fromFile),
    };
    for (const Cells& rows : tables) {
        for (const char separator : {',', ';', '\t'}) {
            SCOPED_TRACE(testing::Message() << rows.front().back() << " with " << separator);
            const csv::ParseResult again = csv::parse(csv::write(rows, separator));
            ASSERT_TRUE(again.ok()) << csv::describe(again.defect);
            EXPECT_EQ(again.separator, separator);
            EXPECT_EQ(cellsOf(again), rows);
        }
    }
}
