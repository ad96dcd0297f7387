#pragma once

// The table of --rows: read from a file or standard input, its rows checked
// against the template, and its defects as lines for people,
// "FILE:LINE: column: why".

#include "RowTable.h"

#include <optional>
#include <string>

namespace mailvane::cli {

struct RowInput
{
    std::string name; // the file as messages name it ("stdin" for "-")
    rows::RowTable table;
};

// Reads and checks the table at `path` ("-" reads standard input); nothing,
// after saying why, when the file or its text cannot be read as a table.
std::optional<RowInput> readRowInput(const std::string& path,
                                     const settings::EmailSettings& templateRecord,
                                     const rows::RowRules& rules,
                                     const provisioning::TokenTables& tables);

// "FILE:LINE: column: why", or "FILE:LINE: why" for a defect of no one cell.
std::string defectLine(const std::string& name, const rows::RowDefect& defect);

// Every defect of the table, one line each: the header's, then the rows'.
std::string defectLines(const RowInput& input);

} // namespace mailvane::cli
