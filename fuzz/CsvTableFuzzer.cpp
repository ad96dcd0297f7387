// The per-person table: any bytes give a clear verdict; the rows of a table
// that reads come back the same from the table the writer writes of them,
// with either separator; and every row the table check lets through holds a
// record that the settings file writes and reads back as it is.

#include "CsvTable.h"
#include "FuzzCheck.h"
#include "HexText.h"
#include "Recipients.h"
#include "RowTable.h"
#include "SettingsFileReader.h"
#include "SettingsFileWriter.h"
#include "TokenTables.h"
#include "WrittenRecord.h"

#include <algorithm>
#include <set>

using namespace mailvane;
namespace csv = mailvane::rows::csv;

namespace {

using Cells = std::vector<std::vector<std::string>>;

// An IMAP4 mailbox that leaves the incoming port to the open defaults and
// the person's own fields to the rows.
constexpr std::string_view TemplateText = "#E-Mail Settings File\r\n"
                                          "Mailbox: Work mail\r\n"
                                          "E-Mail Address: team@example.com\r\n"
                                          "Outgoing Server: smtp.example.com\r\n"
                                          "Incoming Server Type: IMAP4\r\n"
                                          "Incoming Server: imap.example.com\r\n"
                                          "Incoming Server Username: team\r\n";

const settings::EmailSettings& templateRecord()
{
    static const settings::EmailSettings record = [] {
        settings::EmailSettings read;
        FUZZ_CHECK(settings::readSettingsText(TemplateText, read).ok());
        return read;
    }();
    return record;
}

const provisioning::TokenTables& realTables()
{
    static const provisioning::TokenTables tables = [] {
        provisioning::TokenTables loaded;
        FUZZ_CHECK(loaded.load(MAILVANE_TOKEN_TABLE_PATH));
        return loaded;
    }();
    return tables;
}

Cells cellsOf(const csv::ParseResult& table)
{
    Cells cells;
    for (const csv::Row& row : table.rows)
        cells.push_back(row.cells);
    return cells;
}

// The line each row starts on in what the writer writes: one line a row,
// plus the line ends inside the cells of the rows before it.
std::vector<std::size_t> writtenLines(const Cells& rows)
{
    std::vector<std::size_t> lines;
    std::size_t line = 1;
    for (const std::vector<std::string>& cells : rows) {
        lines.push_back(line);
        // CR LF, LF and a lone CR each end a line.
        for (const std::string& cell : cells)
            for (std::size_t i = 0; i < cell.size(); ++i)
                line += cell[i] == '\n' ||
                        (cell[i] == '\r' && (i + 1 == cell.size() || cell[i + 1] != '\n'));
        ++line;
    }
    return lines;
}

void checkRoundTrip(const Cells& rows, char separator)
{
    const std::string written = csv::write(rows, separator);
    const csv::ParseResult again = csv::parse(written);
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.separator == separator);
    FUZZ_CHECK(cellsOf(again) == rows);
    const std::vector<std::size_t> lines = writtenLines(rows);
    for (std::size_t i = 0; i < again.rows.size(); ++i)
        FUZZ_CHECK(again.rows[i].line == lines[i]);
}

void checkRows(const csv::ParseResult& table, const rows::RowRules& rules)
{
    const rows::RowTable result = rows::readRows(table, templateRecord(), rules, realTables());
    if (!result.tableDefects.empty()) {
        FUZZ_CHECK(result.rows.empty() && result.rowDefects.empty());
        return;
    }
    FUZZ_CHECK(result.rows.size() + result.rowDefects.size() == result.rowCount);
    for (const rows::RowDefect& defect : result.rowDefects)
        FUZZ_CHECK(defect.line >= 2 && !defect.why.empty());

    std::set<std::string> numbers;
    for (const rows::PersonRow& row : result.rows) {
        FUZZ_CHECK(settings::dialableNumber(row.number) == row.number);
        FUZZ_CHECK(numbers.insert(row.number).second);
        FUZZ_CHECK(row.record.isComplete());
        FUZZ_CHECK(!row.push.empty() && provisioning::hex::isWholeBytes(row.push));

        // What would be sent is what the settings file would hold.
        FUZZ_CHECK(settings::hasOnlyWritableValues(row.record));
        settings::EmailSettings reread;
        FUZZ_CHECK(settings::readSettingsText(settings::settingsFileText(row.record), reread).ok());
        FUZZ_CHECK(fuzz::asWritten(reread) == fuzz::asWritten(row.record));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    // Read as Latin-1, any bytes are text, so that the rows are reached.
    const csv::ParseResult table =
        csv::parse(fuzz::textOf(data, size), rows::TableEncoding::Latin1);
    if (!table.ok()) {
        FUZZ_CHECK(table.rows.empty());
        FUZZ_CHECK(table.line >= 1);
        FUZZ_CHECK(!csv::describe(table.defect, table.text).empty());
        return 0;
    }
    FUZZ_CHECK(table.separator == ',' || table.separator == ';' || table.separator == '\t');
    for (const csv::Row& row : table.rows)
        FUZZ_CHECK(!row.cells.empty() && row.cells.size() <= csv::MaxColumns);

    const Cells rows = cellsOf(table);
    checkRoundTrip(rows, ',');
    // The writer's one exception: with ';' a first row of one cell is read
    // with ','.
    if (!rows.empty() && rows.front().size() >= 2) {
        checkRoundTrip(rows, ';');
        checkRoundTrip(rows, '\t');
    }

    using provisioning::SecurityMethod;
    const std::span<const settings::FieldId> personal = rows::personalFields();
    const std::vector<settings::FieldId> shared(personal.begin(), personal.end());
    checkRows(table, {SecurityMethod::UserPin, "1234", shared});
    checkRows(table, {SecurityMethod::NetworkPin, std::nullopt, shared});
    checkRows(table, {SecurityMethod::UserNetworkPin, "1234", shared});
    return 0;
}
