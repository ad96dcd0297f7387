#pragma once

// A table of people, one row each, turned into one push each. The first row
// names the columns: "number" (required), "pin" and "imsi" (as the security
// method needs them) and settings keys as the settings file writes them,
// matched as the file reader matches keys; a column with no name is ignored
// while its cells are empty. Every other row is the template record with
// that row's non-empty cells set under the rules of opening a file (a cell
// holding only ClearMark clears the template's value), and must then be
// complete; its number, PIN and IMSI must hold too, and its push must encode.
// Cells are read without the blanks around them; a password with a blank at
// either end is a defect, since a spreadsheet may have added it.
//
// A template's personal values (PersonalFields) would reach every row: a
// table that has no column for one the template holds is refused unless the
// rules name it as shared.

#include "CsvTable.h"
#include "EmailSettings.h"
#include "PushSecurity.h"
#include "SettingsFields.h"
#include "TokenTables.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mailvane::rows {

// Column names other than settings keys, as normalised keys are written.
inline constexpr std::string_view NumberColumn = "number";
inline constexpr std::string_view PinColumn = "pin";
inline constexpr std::string_view ImsiColumn = "imsi";
// A cell holding only this clears the template's value for its row.
inline constexpr std::string_view ClearMark = "-";

// The settings that belong to one person: user names, passwords, addresses
// and the mailbox's name.
std::span<const settings::FieldId> personalFields();

// The fields named in "KEY,KEY,..." (keys as the file writes them, matched
// as the reader matches keys); nothing, with the piece that is no personal
// key in `unknown`, otherwise.
std::optional<std::vector<settings::FieldId>> parseSharedKeys(std::string_view list,
                                                              std::string& unknown);

struct RowRules
{
    provisioning::SecurityMethod method = provisioning::SecurityMethod::UserPin;
    // The PIN of the rows whose pin cell is empty (or of every row, without
    // a pin column).
    std::optional<std::string> defaultPin;
    // Personal fields the template may give every row.
    std::vector<settings::FieldId> shared;
};

// Why a row (or, on the header line, the whole table) cannot be sent. Texts
// never quote a PIN or a settings value.
struct RowDefect
{
    std::size_t line = 0;
    std::string column; // as the header names it; empty when no one cell is at fault
    std::string why;
    std::string number; // the row's number cell, for the log; may be empty or wrong
};

struct PersonRow
{
    std::size_t line = 0;
    std::string number; // as dialled
    settings::EmailSettings record;
    provisioning::PushSecurity security;
    std::string push; // hexadecimal text
};

struct RowTable
{
    // Defects of the header: when there are any, no row is read.
    std::vector<RowDefect> tableDefects;
    std::vector<PersonRow> rows;       // the good rows, in the table's order
    std::vector<RowDefect> rowDefects; // the first defect of each bad row
    std::size_t rowCount = 0;          // rows that hold anything; blank ones are skipped

    bool allGood() const { return tableDefects.empty() && rowDefects.empty(); }
};

// Checks the rows of one table one at a time, keeping only the numbers seen
// (to find a number twice), so that a table of any length can be checked.
class RowChecker
{
public:
    // `templateRecord` as read from its file, without the open defaults. All
    // three must outlive the checker.
    RowChecker(const settings::EmailSettings& templateRecord, const RowRules& rules,
               const provisioning::TokenTables& tables);
    ~RowChecker();
    RowChecker(const RowChecker&) = delete;
    RowChecker& operator=(const RowChecker&) = delete;

    // The defects of the header row; no row can be read when there are any.
    std::vector<RowDefect> readHeader(const csv::Row& header);

    // Reads one row into `person`; its first defect otherwise.
    std::optional<RowDefect> readRow(const csv::Row& row, PersonRow& person);

    // Whether every cell is empty: such rows are skipped, not counted.
    static bool isBlank(const csv::Row& row);

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

// Checks and encodes every row of `table` against `templateRecord` (as read
// from its file, without the open defaults) with `tables`.
RowTable readRows(const csv::ParseResult& table, const settings::EmailSettings& templateRecord,
                  const RowRules& rules, const provisioning::TokenTables& tables);

} // namespace mailvane::rows
