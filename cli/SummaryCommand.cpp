#include "CliSupport.h"
#include "Command.h"
#include "RowInput.h"
#include "SecurityOptions.h"
#include "SettingsSummary.h"
#include "TokenTableLocator.h"

#include <array>

namespace mailvane::cli {
namespace {

constexpr std::string_view CommandName = "summary";

// summary TEMPLATE --rows TABLE: each row's summary, checked as send checks
// it (hence the PIN, the security method and the token table).
int runRows(const Arguments& arguments)
{
    const std::optional<provisioning::SecurityMethod> method =
        securityMethod(arguments, CommandName);
    int status = ExitUsage;
    std::optional<RowOptions> options;
    if (!method || !(options = rowOptions(arguments, *method, CommandName, status)))
        return status;
    settings::EmailSettings templateRecord;
    if (!loadSettings(arguments.operands[0], LoadMode::AsWritten, templateRecord))
        return ExitFailure;
    const std::optional<std::filesystem::path> tablePath = tokenTablePath(arguments);
    if (!tablePath)
        return ExitFailure;
    provisioning::TokenTables tables;
    if (!tables.load(*tablePath)) {
        printError("cannot read the token table " + tablePath->string());
        return ExitFailure;
    }
    const RowSetup setup{templateRecord, std::move(options->rules), tables, options->encoding};
    const std::optional<TableFile> file = TableFile::open(*arguments.option("rows"));
    if (!file)
        return ExitFailure;
    return printEachRow(*file, setup, [](const rows::PersonRow& row) {
        return std::optional("# line " + std::to_string(row.line) + "\r\n" +
                             settings::buildSummary(row.record));
    });
}

int runSummary(const Arguments& arguments)
{
    if (arguments.option("rows"))
        return runRows(arguments);
    for (const char* rowsOnly : {"pin", "security", "shared", "encoding", "table"}) {
        if (arguments.option(rowsOnly))
            return commandUsageError(CommandName, std::string("--") + rowsOnly +
                                                      " belongs to a table given with --rows");
    }
    settings::EmailSettings record;
    if (!loadSettings(arguments.operands[0], LoadMode::AsOpened, record))
        return ExitFailure;
    return printOutput(settings::buildSummary(record));
}

constexpr std::array<OptionInfo, 6> SummaryOptions = {{
    {"rows", "TABLE", false,
     "the summary of each row of a CSV table, checked as send --rows checks it"},
    PinOption,
    SecurityOption,
    SharedOption,
    EncodingOption,
    {"table", "PATH", false, "the token table file (default: table.dat, searched for)"},
}};

} // namespace

extern const Command summaryCommand;
const Command summaryCommand{
    "summary",
    "FILE",
    1,
    "Print the summary of a settings file that is shown before sending.",
    "The file is opened as the window opens it (default ports and server type\n"
    "filled in); passwords are shown as asterisks; lines end in CR LF.\n"
    "With --rows the file is a template and each row's summary is printed after\n"
    "a line \"# line N\" naming its line in the table, once every row is good;\n"
    "--pin, --security, --shared, --encoding and --table are as for send --rows.\n",
    SummaryOptions,
    runSummary,
};

} // namespace mailvane::cli
