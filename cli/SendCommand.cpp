#include "SendCommand.h"

#include "BatchSend.h"
#include "CliSupport.h"
#include "Command.h"
#include "Completeness.h"
#include "PhoneBackEnd.h"
#include "PhoneConfiguration.h"
#include "PhoneLink.h"
#include "PinInput.h"
#include "RecipientFile.h"
#include "Recipients.h"
#include "RowInput.h"
#include "SecurityOptions.h"
#include "SendingLoop.h"
#include "StringTable.h"
#include "TokenTableLocator.h"
#include "UrlRedaction.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace mailvane::cli {
namespace {

constexpr std::string_view CommandName = "send";

int usageError(const std::string& message)
{
    return commandUsageError(CommandName, message);
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

// The value of option `name` as a whole number from `least` to `most`;
// `fallback` when it is not given, nothing when it is no such number.
std::optional<unsigned> wholeNumberOption(const Arguments& arguments, std::string_view name,
                                          unsigned least, unsigned most, unsigned fallback)
{
    const std::string* given = arguments.option(name);
    if (!given)
        return fallback;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(given->data(), given->data() + given->size(), value);
    if (error != std::errc() || end != given->data() + given->size() || value < least ||
        value > most)
        return std::nullopt;
    return value;
}

// A decimal number from `least` (above 0) to `most`.
std::optional<double> decimalOption(const std::string& given, double least, double most)
{
    double value = 0;
    const auto [end, error] = std::from_chars(given.data(), given.data() + given.size(), value);
    if (error != std::errc() || end != given.data() + given.size() || !(value >= least) ||
        !(value <= most))
        return std::nullopt;
    return value;
}

// How much a gateway batch may retry, wait and send; false after a usage error.
bool readPacing(const Arguments& arguments, BatchRequest& request, int& status)
{
    const auto retries =
        wholeNumberOption(arguments, "retries", 0, MaxRetries, phone::DefaultRetries);
    const auto stopAfter =
        wholeNumberOption(arguments, "stop-after", 0, 1'000'000, DefaultStopAfter);
    if (!retries) {
        status = usageError("--retries takes a whole number from 0 to " +
                            std::to_string(MaxRetries));
        return false;
    }
    if (!stopAfter) {
        status = usageError("--stop-after takes a whole number (0: never stop)");
        return false;
    }
    request.retries = *retries;
    request.stopAfter = *stopAfter;
    if (const std::string* given = arguments.option("timeout")) {
        const auto seconds = decimalOption(*given, 0.001, double(MaxRequestTimeout.count()));
        if (!seconds) {
            status = usageError("--timeout takes seconds above 0, at most " +
                                std::to_string(MaxRequestTimeout.count()));
            return false;
        }
        request.timeout = std::chrono::milliseconds(std::max(1LL, std::llround(*seconds * 1000)));
    }
    if (const std::string* given = arguments.option("rate")) {
        // Slower than one message in 1000 s is no rate but a stall.
        request.rate = decimalOption(*given, 0.001, 1e6);
        if (!request.rate) {
            status = usageError("--rate takes messages per second, from 0.001");
            return false;
        }
    }
    return true;
}

// The longest --wait-reports: a day, past any SMSC's validity period.
constexpr unsigned MaxReportWaitSeconds = 86400;

// Reads the report options into `request`; false (after saying why) when
// one is wrong or has no place.
bool readReportOptions(const Arguments& arguments, BatchRequest& request, int& status)
{
    status = ExitUsage;
    ReportRequest& reports = request.reports;
    reports.wanted = arguments.option("reports") != nullptr;
    if (!reports.wanted) {
        for (const char* option : {"report-listen", "report-url", "wait-reports"}) {
            if (arguments.option(option)) {
                usageError(std::string("--") + option + " needs --reports");
                return false;
            }
        }
    }
    if (const std::string* listen = arguments.option("report-listen")) {
        const std::optional<phone::ListenAddress> address = phone::parseListenAddress(*listen);
        if (!address) {
            usageError("--report-listen takes HOST:PORT, e.g. 192.0.2.10:8088, not '" + *listen +
                       "'");
            return false;
        }
        reports.listen = *address;
    }
    if (const std::string* url = arguments.option("report-url")) {
        if (!url->starts_with("http://") && !url->starts_with("https://")) {
            usageError("--report-url takes an http:// URL at which the gateway reaches this "
                       "program's --report-listen address");
            return false;
        }
        reports.url = *url;
    }
    if (const std::string* wait = arguments.option("wait-reports")) {
        unsigned seconds = 0;
        const auto [end, error] =
            std::from_chars(wait->data(), wait->data() + wait->size(), seconds);
        if (wait->empty() || error != std::errc() || end != wait->data() + wait->size() ||
            seconds > MaxReportWaitSeconds) {
            usageError("--wait-reports takes a whole number of seconds from 0 to " +
                       std::to_string(MaxReportWaitSeconds));
            return false;
        }
        reports.wait = std::chrono::seconds(seconds);
    }
    request.resendUndelivered = arguments.option("resend-undelivered") != nullptr;
    if (request.resendUndelivered && !request.resumePath) {
        usageError("--resend-undelivered needs the log of the earlier run, given with --resume");
        return false;
    }
    return true;
}

bool loadTokenTables(const std::filesystem::path& path, provisioning::TokenTables& tables)
{
    if (!tables.load(path)) {
        printError("cannot read the token table " + path.string());
        return false;
    }
    return true;
}

// send TEMPLATE --rows FILE: each row its own mailbox, checked whole first,
// then read again and sent row by row.
int runRows(const Arguments& arguments, const BatchRequest& request,
            provisioning::SecurityMethod method)
{
    for (const char* single : {"to", "to-file", "imsi"}) {
        if (arguments.option(single))
            return usageError(std::string("--") + single +
                              " has no place with --rows: the table gives each row's number" +
                              (std::string_view(single) == "imsi" ? " and IMSI" : ""));
    }
    const bool checkOnly = arguments.option("check-rows") != nullptr;
    const bool skipBad = arguments.option("skip-bad-rows") != nullptr;
    if (checkOnly && skipBad)
        return usageError("--check-rows sends nothing, so --skip-bad-rows has no place with it");
    int status = ExitUsage;
    std::optional<RowOptions> options = rowOptions(arguments, method, CommandName, status);
    if (!options)
        return status;

    settings::EmailSettings templateRecord;
    if (!loadSettings(arguments.operands[0], LoadMode::AsWritten, templateRecord))
        return ExitFailure;
    const auto table = tokenTablePath(arguments);
    provisioning::TokenTables tables;
    if (!table || !loadTokenTables(*table, tables))
        return ExitFailure;
    const RowSetup setup{templateRecord, std::move(options->rules), tables, options->encoding};
    const std::optional<TableFile> file = TableFile::open(*arguments.option("rows"));
    if (!file)
        return ExitFailure;
    const std::string& name = file->name();

    // The first pass keeps the numbers and lines of the good rows, never
    // their pushes.
    RowPass pass(*file, setup);
    const std::vector<rows::RowDefect> headerDefects = pass.header();
    std::string report;
    for (const rows::RowDefect& defect : headerDefects)
        report += defectLine(name, defect) + "\n";
    if (!headerDefects.empty()) {
        if (checkOnly) {
            printOutput(report + name + ": the columns are wrong, so no row was checked\n");
            return ExitFailure;
        }
        printError(report.substr(0, report.size() - 1));
        printError("the columns of " + name + " are wrong, so nothing was sent");
        return ExitFailure;
    }
    std::vector<BatchItem> items;
    std::vector<SkippedItem> skipped;
    std::size_t rowCount = 0;
    std::size_t bad = 0;
    rows::PersonRow person;
    rows::RowDefect defect;
    for (;;) {
        const RowPass::Step step = pass.next(person, defect);
        if (step == RowPass::Step::End)
            break;
        if (step == RowPass::Step::Unreadable) {
            if (checkOnly && printOutput(report) != ExitSuccess)
                return ExitFailure;
            printError(pass.unreadable());
            return ExitFailure;
        }
        ++rowCount;
        if (step == RowPass::Step::Good) {
            if (!checkOnly)
                items.push_back({person.number, person.line, person.line});
            continue;
        }
        ++bad;
        const std::string line = defectLine(name, defect);
        if (checkOnly) {
            // A long table's report goes out as it is found.
            if (printOutput(line + "\n") != ExitSuccess)
                return ExitFailure;
            continue;
        }
        report += line + "\n";
        skipped.push_back({defect.number, defect.line,
                           defect.column.empty() ? defect.why : defect.column + ": " + defect.why});
    }

    if (checkOnly) {
        const int written =
            printOutput(name + ": " + std::to_string(rowCount) + " rows, " +
                        (bad == 0 ? std::string("all good") : std::to_string(bad) + " bad") + "\n");
        return written != ExitSuccess || bad > 0 ? ExitFailure : ExitSuccess;
    }
    if (bad > 0 && !skipBad) {
        printError(report.substr(0, report.size() - 1));
        printError(std::to_string(bad) + " of " + std::to_string(rowCount) +
                   " rows are bad, so nothing was sent; --skip-bad-rows sends the others");
        return ExitFailure;
    }
    if (items.empty()) {
        printError(name + " holds no row to send");
        return ExitFailure;
    }
    for (const SkippedItem& item : skipped)
        printError("skipping " + name + ":" + std::to_string(item.line) + ": " + item.why);

    const auto phone = choosePhone(arguments, status);
    if (!phone)
        return status;
    RowParcels parcels(*file, setup);
    return sendBatch(request, std::move(items), parcels, skipped, *table, *phone);
}

int runSend(const Arguments& arguments)
{
    BatchRequest request;
    const std::optional<unsigned> jobs = wholeNumberOption(arguments, "jobs", 1, MaxJobs, 1);
    if (!jobs)
        return usageError("--jobs takes a whole number from 1 to " + std::to_string(MaxJobs));
    request.jobs = *jobs;
    request.keepGoing = arguments.option("keep-going") != nullptr;
    request.dryRun = arguments.option("dry-run") != nullptr;
    request.resendUncertain = arguments.option("resend-uncertain") != nullptr;
    if (const std::string* log = arguments.option("log"))
        request.logPath = *log;
    if (const std::string* resume = arguments.option("resume"))
        request.resumePath = *resume;
    if (request.resendUncertain && !request.resumePath)
        return usageError("--resend-uncertain needs the log given with --resume");
    int pacingStatus = ExitUsage;
    if (!readPacing(arguments, request, pacingStatus))
        return pacingStatus;
    if (int status = ExitUsage; !readReportOptions(arguments, request, status))
        return status;
    const std::optional<provisioning::SecurityMethod> method =
        securityMethod(arguments, CommandName);
    if (!method)
        return ExitUsage;
    if (arguments.option("rows"))
        return runRows(arguments, request, *method);
    for (const char* rowsOnly : {"check-rows", "skip-bad-rows", "shared", "encoding"}) {
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

    Parcel parcel;
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
    ParcelList parcels({std::move(parcel)});
    return sendBatch(request, std::move(items), parcels, {}, *table, *phone);
}

constexpr std::array<OptionInfo, 29> SendOptions = {{
    PinOption,
    PinFileOption,
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
    SharedOption,
    EncodingOption,
    SecurityOption,
    ImsiOption,
    PhoneOption,
    {"proxy", "URL", false,
     "the HTTP proxy to a gateway (default: Phone/Proxy of the program settings, else none; "
     "http_proxy and the like are not used)"},
    {"table", "PATH", false, "the token table file (default: table.dat, searched for)"},
    {"jobs", "N", false,
     "recipients in flight at once through a gateway (1 to 100, default 1); a phone sends "
     "one at a time"},
    {"keep-going", "", false, "go on after a recipient that failed instead of stopping"},
    {"log", "FILE", false,
     "append lines per recipient: number, started, then sent or failed (or skipped, or dry), "
     "time, answer (and the table line); created readable by you only, and locked: a second "
     "run on the same log is refused"},
    {"resume", "FILE", false,
     "skip the recipients that this log records as sent, and list those it records as "
     "started but not ended (uncertain) without sending to them"},
    {"resend-uncertain", "", false,
     "with --resume: send to the uncertain recipients again (one may then get the push "
     "twice)"},
    {"retries", "N", false,
     "through a gateway: try a message the gateway refuses for now (HTTP 429, 502, 503, "
     "504, no connection) up to N times more, waiting 0.5 s, then twice as long each time "
     "up to 30 s, or as long as the gateway's Retry-After asks (default 5)"},
    {"stop-after", "N", false,
     "through a gateway: stop, even with --keep-going, after N recipients in a row failed "
     "for the gateway's sake, leaving the rest not started (default 20; 0 never stops)"},
    {"timeout", "SECONDS", false,
     "through a gateway: the time one request may take, answer included (default 20)"},
    {"rate", "N", false,
     "through a gateway: at most N messages a second, over all jobs (default: no limit)"},
    {"dry-run", "", false,
     "check, encode and log as dry, but send nothing to a phone or gateway"},
    {"reports", "", false,
     "ask a gateway or an attached or simulated phone for delivery reports and log each as "
     "it arrives (delivered, not delivered, accepted by the SMSC)"},
    {"report-listen", "HOST:PORT", false,
     "where to listen for the gateway's report callbacks (default: 127.0.0.1, a free port)"},
    {"report-url", "URL", false,
     "the listener's URL as the gateway reaches it, when the gateway runs on another machine"},
    {"wait-reports", "SECONDS", false,
     "how long to wait for reports after the last push (default 60)"},
    {"resend-undelivered", "", false,
     "with --resume: also send again to the recipients the log reports as not delivered"},
}};

} // namespace

std::optional<phone::PhoneSelection> choosePhone(const Arguments& arguments, int& status)
{
    std::optional<std::string> given;
    if (const std::string* phone = arguments.option("phone")) {
        given = *phone;
        if (phone::redactedUrl(*phone) != *phone)
            printError("warning: the password in --phone can be read by every local user "
                       "(ps); set it in MAILVANE_PHONE or the program settings instead");
    }
    const std::string chosen = phone::configuredPhoneSelection(given);
    if (auto selection = phone::parsePhoneSelection(chosen)) {
        if (const std::string* proxy = arguments.option("proxy"))
            selection->gateway.proxy = *proxy;
        return selection;
    }
    printError("unknown phone '" + phone::redactedUrl(chosen) +
               "': " + phone::phoneSelectionError(chosen));
    status = given ? ExitUsage : ExitFailure;
    return std::nullopt;
}

// The help text names the limits of a table.
static_assert(rows::csv::MaxRows == 1'000'000 && rows::csv::MaxLineLength == 65'536 &&
              rows::csv::MaxColumns == 256 && rows::csv::MaxCells == 50'000'000 &&
              rows::csv::MaxTableBytes == 536'870'912 && MaxListNumbers == 1'000'000);

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
    "before anything is sent, then read again and sent row by row. A table has\n"
    "at most 1000000 rows after its first line, 65536 bytes and 256 cells in a\n"
    "row, 50000000 cells and 536870912 bytes; a --to-file list is read within\n"
    "the same limits and holds at most 1000000 numbers.\n"
    "With --reports a gateway or phone reports on each message; the batch waits\n"
    "up to --wait-reports seconds for them after the last push, logs each\n"
    "number's state as it changes, and counts delivered, not delivered and no\n"
    "report. A phone's status reports are read from its messages, matched by\n"
    "reference and number, and left on the phone; a phone that cannot give\n"
    "them is named once and the batch goes on.\n"
    "Through a gateway, a message refused for now is tried again (--retries) and\n"
    "the push goes on from that message; a run stops when the gateway seems down\n"
    "(--stop-after).\n"
    "Ctrl+C stops after the pushes in flight and leaves the log complete; a\n"
    "second Ctrl+C stops at once, leaving those pushes uncertain in the log.\n"
    "Progress goes to stderr (a progress line on a terminal), the outcome to\n"
    "stdout (success) or stderr, and a closing line to stderr: \"N sent, M failed,\n"
    "K skipped, L already sent, U uncertain, in T s\".\n"
    "Exit status: 0 when every number was sent (with --check-rows: when every\n"
    "row is good), 1 when a number failed or was reported not delivered, a row\n"
    "is bad or was skipped, or a number is uncertain, 2 when the command line is\n"
    "wrong or names no recipient or a piece that is no phone number, or the log\n"
    "is in use by another run, 130 after Ctrl+C. Output into a closed pipe is a\n"
    "write error (1).\n",
    SendOptions,
    runSend,
};

} // namespace mailvane::cli
