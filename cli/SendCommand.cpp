#include "SendCommand.h"

#include "BatchSend.h"
#include "CliSupport.h"
#include "Command.h"
#include "Completeness.h"
#include "PhoneBackEnd.h"
#include "PhoneConfiguration.h"
#include "PhoneLink.h"
#include "RecipientFile.h"
#include "Recipients.h"
#include "RowInput.h"
#include "SecurityOptions.h"
#include "SendingLoop.h"
#include "StringTable.h"
#include "TokenTableLocator.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <string>

namespace mailvane::cli {
namespace {

constexpr std::string_view CommandName = "send";

int usageError(const std::string& message)
{
    return commandUsageError(CommandName, message);
}

std::optional<std::filesystem::path> tokenTablePath(const Arguments& arguments)
{
    if (const std::string* given = arguments.option("table"))
        return std::filesystem::path(*given);
    if (auto found = provisioning::locateTokenTable(arguments.executableDir))
        return found;
    printError(std::string("cannot find the token table ") + provisioning::TokenTableFileName +
               " in the data folder of the installation; give its path with --table");
    return std::nullopt;
}

// The numbers of --to and --to-file, in that order; nothing (after saying
// why) when the list cannot be read or is empty.
std::optional<std::vector<std::string>> batchNumbers(const Arguments& arguments, int& status)
{
    const std::string* to = arguments.option("to");
    const std::string* toFile = arguments.option("to-file");
    if (!to && !toFile) {
        status = usageError("give the recipients with --to, --to-file or both, or a table with "
                            "--rows");
        return std::nullopt;
    }
    std::vector<std::string> numbers;
    if (to) {
        settings::RecipientList list = settings::parseRecipients(*to);
        if (list.invalidPiece) {
            printError("--to: " + settings::invalidNumberMessage(*list.invalidPiece));
            status = ExitUsage;
            return std::nullopt;
        }
        numbers = std::move(list.numbers);
    }
    if (toFile) {
        RecipientFileResult file = readRecipientFile(*toFile);
        if (!file.read) {
            printError(file.error);
            // A list that names no number where it should is as wrong as --to.
            status = file.invalidNumber ? ExitUsage : ExitFailure;
            return std::nullopt;
        }
        numbers.insert(numbers.end(), file.numbers.begin(), file.numbers.end());
    }
    // A list with no number in it is not a successful send to nobody.
    if (numbers.empty()) {
        printError(settings::stringText(settings::strings::NoRecipientsMessage));
        status = ExitUsage;
        return std::nullopt;
    }
    return numbers;
}

std::optional<unsigned> jobCount(const Arguments& arguments)
{
    const std::string* given = arguments.option("jobs");
    if (!given)
        return 1u;
    unsigned jobs = 0;
    const auto [end, error] = std::from_chars(given->data(), given->data() + given->size(), jobs);
    if (error != std::errc() || end != given->data() + given->size() || jobs < 1 || jobs > MaxJobs)
        return std::nullopt;
    return jobs;
}

bool loadTokenTables(const std::filesystem::path& path, provisioning::TokenTables& tables)
{
    if (!tables.load(path)) {
        printError("cannot read the token table " + path.string());
        return false;
    }
    return true;
}

// send TEMPLATE --rows FILE: each row its own mailbox, checked whole first.
int runRows(const Arguments& arguments, const BatchRequest& request,
            provisioning::SecurityMethod method)
{
    for (const char* single : {"to", "to-file", "imsi"}) {
        if (arguments.option(single))
            return usageError(std::string("--") + single +
                              " has no place with --rows: the table gives each row's number" +
                              (std::string_view(single) == "imsi" ? " and IMSI" : ""));
    }
    if (!checkPinOption(arguments, method, false, CommandName))
        return ExitUsage;
    const bool checkOnly = arguments.option("check-rows") != nullptr;
    const bool skipBad = arguments.option("skip-bad-rows") != nullptr;
    if (checkOnly && skipBad)
        return usageError("--check-rows sends nothing, so --skip-bad-rows has no place with it");

    settings::EmailSettings templateRecord;
    if (!loadSettings(arguments.operands[0], LoadMode::AsWritten, templateRecord))
        return ExitFailure;
    const auto table = tokenTablePath(arguments);
    provisioning::TokenTables tables;
    if (!table || !loadTokenTables(*table, tables))
        return ExitFailure;
    rows::RowRules rules{method, std::nullopt};
    if (const std::string* pin = arguments.option("pin"))
        rules.defaultPin = *pin;
    const std::optional<RowInput> input =
        readRowInput(*arguments.option("rows"), templateRecord, rules, tables);
    if (!input)
        return ExitFailure;
    const rows::RowTable& rowTable = input->table;
    const std::size_t bad = rowTable.rowDefects.size();

    if (checkOnly) {
        std::string report = defectLines(*input);
        if (!rowTable.tableDefects.empty())
            report += input->name + ": the columns are wrong, so no row was checked\n";
        else
            report += input->name + ": " + std::to_string(rowTable.rowCount) + " rows, " +
                      (bad == 0 ? std::string("all good") : std::to_string(bad) + " bad") + "\n";
        const int written = printOutput(report);
        return written != ExitSuccess || !rowTable.allGood() ? ExitFailure : ExitSuccess;
    }
    if (!rowTable.tableDefects.empty() || (bad > 0 && !skipBad)) {
        std::string text = defectLines(*input);
        text.pop_back();
        printError(text);
        if (rowTable.tableDefects.empty())
            printError(std::to_string(bad) + " of " + std::to_string(rowTable.rowCount) +
                       " rows are bad, so nothing was sent; --skip-bad-rows sends the others");
        else
            printError("the columns of " + input->name + " are wrong, so nothing was sent");
        return ExitFailure;
    }
    if (rowTable.rows.empty()) {
        printError(input->name + " holds no row to send");
        return ExitFailure;
    }
    std::vector<SkippedItem> skipped;
    for (const rows::RowDefect& defect : rowTable.rowDefects) {
        printError("skipping " + defectLine(input->name, defect));
        skipped.push_back({defect.number, defect.line,
                           defect.column.empty() ? defect.why : defect.column + ": " + defect.why});
    }

    int status = ExitUsage;
    const auto phone = choosePhone(arguments, status);
    if (!phone)
        return status;
    std::vector<Parcel> parcels;
    std::vector<BatchItem> items;
    parcels.reserve(rowTable.rows.size());
    items.reserve(rowTable.rows.size());
    for (const rows::PersonRow& row : rowTable.rows) {
        items.push_back({row.number, parcels.size(), row.line});
        parcels.push_back({row.record, row.security, row.push});
    }
    return sendBatch(request, std::move(items), parcels, skipped, *table, *phone);
}

int runSend(const Arguments& arguments)
{
    BatchRequest request;
    const std::optional<unsigned> jobs = jobCount(arguments);
    if (!jobs)
        return usageError("--jobs takes a whole number from 1 to " + std::to_string(MaxJobs));
    request.jobs = *jobs;
    request.keepGoing = arguments.option("keep-going") != nullptr;
    if (const std::string* log = arguments.option("log"))
        request.logPath = *log;
    if (const std::string* resume = arguments.option("resume"))
        request.resumePath = *resume;
    const std::optional<provisioning::SecurityMethod> method =
        securityMethod(arguments, CommandName);
    if (!method)
        return ExitUsage;
    if (arguments.option("rows"))
        return runRows(arguments, request, *method);
    for (const char* rowsOnly : {"check-rows", "skip-bad-rows"}) {
        if (arguments.option(rowsOnly))
            return usageError(std::string("--") + rowsOnly + " needs a table given with --rows");
    }

    const std::optional<provisioning::PushSecurity> security =
        singlePushSecurity(arguments, *method, CommandName);
    if (!security)
        return ExitUsage;
    int status = ExitUsage;
    std::optional<std::vector<std::string>> numbers = batchNumbers(arguments, status);
    if (!numbers)
        return status;
    // An IMSI belongs to one SIM: no other phone could open the push.
    if (provisioning::usesImsi(*method) && numbers->size() != 1)
        return usageError("--imsi keys the push for one SIM: give one number, or a table with "
                          "an imsi column with --rows");

    std::vector<Parcel> parcels(1);
    Parcel& parcel = parcels.front();
    parcel.security = *security;
    if (!loadSettings(arguments.operands[0], LoadMode::AsOpened, parcel.record))
        return ExitFailure;
    if (!parcel.record.isComplete()) {
        printError("the settings in " + arguments.operands[0] +
                   " are not complete, so the window would not send them either; missing: " +
                   settings::describeMissingFields(parcel.record));
        return ExitFailure;
    }
    const auto table = tokenTablePath(arguments);
    if (!table)
        return ExitFailure;
    const auto phone = choosePhone(arguments, status);
    if (!phone)
        return status;
    std::vector<BatchItem> items;
    items.reserve(numbers->size());
    for (std::string& number : *numbers)
        items.push_back({std::move(number), 0, 0});
    return sendBatch(request, std::move(items), parcels, {}, *table, *phone);
}

constexpr std::array<OptionInfo, 14> SendOptions = {{
    PinOption,
    {"to", "NUMBERS", false,
     "recipients as \"num;num;...\": '+' and digits, '*', '#' (blanks, '-', '.', '(', ')' "
     "and '/' are ignored)"},
    {"to-file", "LIST", false,
     "more recipients from a file, one a line ('-' reads stdin; blank lines and # comments "
     "are skipped)"},
    {"rows", "TABLE", false,
     "one mailbox per person from a CSV table ('-' reads stdin): a number column, pin and "
     "imsi columns as needed, and settings keys whose cells replace the file's values"},
    {"check-rows", "", false,
     "check every row of --rows, print one line per bad row, send nothing"},
    {"skip-bad-rows", "", false, "send the good rows of --rows and log the bad ones as skipped"},
    SecurityOption,
    ImsiOption,
    PhoneOption,
    {"table", "PATH", false, "the token table file (default: table.dat, searched for)"},
    {"jobs", "N", false,
     "recipients in flight at once through a gateway (1 to 100, default 1); a phone sends "
     "one at a time"},
    {"keep-going", "", false, "go on after a recipient that failed instead of stopping"},
    {"log", "FILE", false,
     "append a line per recipient: number, sent, failed or skipped, time, answer (and the "
     "table line)"},
    {"resume", "FILE", false, "skip the recipients that this log records as sent"},
}};

} // namespace

std::optional<phone::PhoneSelection> choosePhone(const Arguments& arguments, int& status)
{
    std::optional<std::string> given;
    if (const std::string* phone = arguments.option("phone"))
        given = *phone;
    const std::string chosen = phone::configuredPhoneSelection(given);
    if (auto selection = phone::parsePhoneSelection(chosen))
        return selection;
    printError("unknown phone '" + chosen + "': " + phone::phoneSelectionError(chosen));
    status = given ? ExitUsage : ExitFailure;
    return std::nullopt;
}

extern const Command sendCommand;
const Command sendCommand{
    "send",
    "FILE",
    1,
    "Send the settings of a file to phones through the attached phone or a gateway.",
    "The file is opened as the window opens it and must be complete. Each number\n"
    "gets its own push, in order; sending stops at the first number that fails\n"
    "unless --keep-going is given. Through a gateway (--phone kannel:URL), --jobs\n"
    "keeps several numbers in flight; the messages of one push still go in order.\n"
    "With --rows the file is a template: each row of the table gets the file's\n"
    "settings with the row's cells in their place, and every row is checked\n"
    "before anything is sent.\n"
    "Ctrl+C stops after the pushes in flight and leaves the log complete.\n"
    "Progress goes to stderr (a progress line on a terminal), the outcome to\n"
    "stdout (success) or stderr.\n"
    "Exit status: 0 when every number was sent (with --check-rows: when every\n"
    "row is good), 1 when a number failed or a row is bad, 2 when the command\n"
    "line is wrong or names no recipient or a piece that is no phone number,\n"
    "130 after Ctrl+C.\n",
    SendOptions,
    runSend,
};

} // namespace mailvane::cli
