#include "RowInput.h"

#include "CliSupport.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace mailvane::cli {
namespace {

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The bytes of `path`, up to one more than the table may have; nothing after
// saying why when they cannot be read.
std::optional<std::string> readTableBytes(const std::string& path, const std::string& name)
{
    std::unique_ptr<std::FILE, FileCloser> opened;
    std::FILE* file = stdin;
    if (path != "-") {
        opened.reset(std::fopen(path.c_str(), "rb"));
        if (!opened) {
            printError("cannot read the table " + name + ": " + std::strerror(errno));
            return std::nullopt;
        }
        file = opened.get();
    }
    std::string bytes;
    char buffer[65536];
    std::size_t got = 0;
    while (bytes.size() <= rows::csv::MaxTableBytes &&
           (got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    if (std::ferror(file)) {
        printError("cannot read the table " + name + ": " + std::strerror(errno ? errno : EIO));
        return std::nullopt;
    }
    return bytes;
}

} // namespace

std::optional<RowInput> readRowInput(const std::string& path,
                                     const settings::EmailSettings& templateRecord,
                                     const rows::RowRules& rules,
                                     const provisioning::TokenTables& tables)
{
    RowInput input;
    input.name = path == "-" ? "stdin" : path;
    const std::optional<std::string> bytes = readTableBytes(path, input.name);
    if (!bytes)
        return std::nullopt;
    const rows::csv::ParseResult parsed = rows::csv::parse(*bytes);
    if (!parsed.ok()) {
        const std::string where =
            parsed.line > 0 ? input.name + ":" + std::to_string(parsed.line) : input.name;
        printError(where + ": the table cannot be read: " + rows::csv::describe(parsed.defect));
        return std::nullopt;
    }
    input.table = rows::readRows(parsed, templateRecord, rules, tables);
    return input;
}

std::string defectLine(const std::string& name, const rows::RowDefect& defect)
{
    std::string line = name + ":" + std::to_string(defect.line) + ": ";
    if (!defect.column.empty())
        line += defect.column + ": ";
    return line + defect.why;
}

std::string defectLines(const RowInput& input)
{
    std::string text;
    for (const rows::RowDefect& defect : input.table.tableDefects)
        text += defectLine(input.name, defect) + "\n";
    for (const rows::RowDefect& defect : input.table.rowDefects)
        text += defectLine(input.name, defect) + "\n";
    return text;
}

} // namespace mailvane::cli
