#pragma once

// A table of people, one row each, turned into one push each. The first row
// names the columns: "number" (required), "pin" and "imsi" (as the security
// method needs them) and settings keys as the settings file writes them,
// matched as the file reader matches keys. Every other row is the template
// record with that row's non-empty cells set under the rules of opening a
// file, and must then be complete; its number, PIN and IMSI must hold too,
// and its push must encode.

#include "CsvTable.h"
#include "EmailSettings.h"
#include "PushSecurity.h"
#include "TokenTables.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mailvane::rows {

// Column names other than settings keys, as normalised keys are written.
inline constexpr std::string_view NumberColumn = "number";
inline constexpr std::string_view PinColumn = "pin";
inline constexpr std::string_view ImsiColumn = "imsi";

struct RowRules
{
    provisioning::SecurityMethod method = provisioning::SecurityMethod::UserPin;
    // The PIN of the rows whose pin cell is empty (or of every row, without
    // a pin column).
    std::optional<std::string> defaultPin;
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

// Checks and encodes every row of `table` against `templateRecord` (as read
// from its file, without the open defaults) with `tables`.
RowTable readRows(const csv::ParseResult& table, const settings::EmailSettings& templateRecord,
                  const RowRules& rules, const provisioning::TokenTables& tables);

} // namespace mailvane::rows
