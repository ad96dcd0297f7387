#pragma once

// The table of --rows, read as a stream: from a file, or from standard input
// kept in an unnamed temporary file so that it can be read again. Rows are
// checked one at a time against the template; their defects become lines for
// people, "FILE:LINE: column: why".

#include "BatchSend.h"
#include "Command.h"
#include "RowTable.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace mailvane::cli {

inline constexpr OptionInfo SharedOption = {
    "shared", "KEYS", false,
    "personal settings of the file that every row may receive, as \"KEY,KEY,...\" (user "
    "names, passwords, addresses, Mailbox); without it a table needs a column for each one the "
    "file holds"};
inline constexpr OptionInfo EncodingOption = {
    "encoding", "NAME", false,
    "how a table without a byte-order mark is encoded: utf-8 (default), windows-1252 or "
    "latin-1"};

// What --pin, --shared and --encoding say of the rows of --rows, the PIN
// checked against `method`; nothing, after the usage error for `command`
// (status in `status`), when they are wrong.
struct RowOptions
{
    rows::RowRules rules;
    rows::TableEncoding encoding = rows::TableEncoding::Utf8;
};
std::optional<RowOptions> rowOptions(const Arguments& arguments,
                                     provisioning::SecurityMethod method, std::string_view command,
                                     int& status);

// What a table is checked against; everything must outlive the readers.
struct RowSetup
{
    const settings::EmailSettings& templateRecord;
    rows::RowRules rules;
    const provisioning::TokenTables& tables;
    rows::TableEncoding encoding = rows::TableEncoding::Utf8;
};

class TableFile
{
public:
    // The table at `path` ("-": standard input, copied as far as a table
    // may be long); nothing after saying why it cannot be read.
    static std::optional<TableFile> open(const std::string& path);

    const std::string& name() const { return m_name; }
    std::FILE* file() const { return m_file.get(); }

private:
    struct Closer
    {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    std::string m_name; // as messages name it ("stdin" for "-")
    std::unique_ptr<std::FILE, Closer> m_file;
};

// One pass over a table, from its start.
class RowPass
{
public:
    RowPass(const TableFile& table, const RowSetup& setup);
    ~RowPass();

    // The header's defects; no row can be read when there are any.
    std::vector<rows::RowDefect> header();

    enum class Step
    {
        Good,       // `person` holds the row
        Bad,        // `defect` says why
        End,        // no more rows
        Unreadable, // the text cannot be read on: unreadable() says why
    };
    Step next(rows::PersonRow& person, rows::RowDefect& defect);

    // "FILE:LINE: the table cannot be read: why".
    std::string unreadable() const;

private:
    class FileSource;

    const TableFile& m_table;
    std::unique_ptr<FileSource> m_source;
    rows::csv::RowStream m_stream;
    rows::RowChecker m_checker;
    rows::csv::Row m_row;
};

// The parcels of a checked table, built again row by row as they are sent.
// A key is the row's line.
class RowParcels final : public ParcelSource
{
public:
    RowParcels(const TableFile& table, const RowSetup& setup);
    ~RowParcels() override;

    Parcel* parcel(std::size_t line) override;
    std::vector<Parcel> takeAll(std::vector<BatchItem>& items) override;

private:
    const TableFile& m_table;
    const RowSetup& m_setup;
    std::unique_ptr<RowPass> m_pass;
    Parcel m_current;
};

// Prints `text` of each row of `table`, in order, once every row has been
// found good (nothing otherwise, after the defects); one row is held at a
// time. `text` gives nothing after saying why a row cannot be printed.
// Returns the exit status.
int printEachRow(const TableFile& table, const RowSetup& setup,
                 const std::function<std::optional<std::string>(const rows::PersonRow&)>& text);

// "FILE:LINE: column: why", or "FILE:LINE: why" for a defect of no one cell.
std::string defectLine(const std::string& name, const rows::RowDefect& defect);

} // namespace mailvane::cli
