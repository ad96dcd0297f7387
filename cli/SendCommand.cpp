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
#include "SendingLoop.h"
#include "StringTable.h"
#include "TokenTableLocator.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <string>

namespace mailvane::cli {
namespace {

// As many characters as the PIN dialog lets the operator type.
constexpr std::size_t MaxPinLength = 10;

int usageError(const std::string& message)
{
    printError(message);
    printError("try 'mailvane-cli send --help' for more information");
    return ExitUsage;
}

std::optional<std::filesystem::path> tokenTablePath(const Arguments& arguments)
{
    if (const std::string* given = arguments.option("table"))
        return std::filesystem::path(*given);
    if (auto found = provisioning::locateTokenTable(arguments.executableDir))
        return found;
    printError(std::string("cannot find the token table ") + provisioning::TokenTableFileName +
               " in the current folder, the data folder or beside the program; give its path "
               "with --table");
    return std::nullopt;
}

// The numbers of --to and --to-file, in that order; nothing (after saying
// why) when the list cannot be read or is empty.
std::optional<std::vector<std::string>> batchNumbers(const Arguments& arguments, int& status)
{
    const std::string* to = arguments.option("to");
    const std::string* toFile = arguments.option("to-file");
    if (!to && !toFile) {
        status = usageError("give the recipients with --to, --to-file or both");
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

int runSend(const Arguments& arguments)
{
    BatchRequest request;
    request.pin = *arguments.option("pin");
    if (request.pin.empty() || request.pin.size() > MaxPinLength)
        return usageError("the PIN must have 1 to " + std::to_string(MaxPinLength) + " characters");
    const std::optional<unsigned> jobs = jobCount(arguments);
    if (!jobs)
        return usageError("--jobs takes a whole number from 1 to " + std::to_string(MaxJobs));
    request.jobs = *jobs;
    request.keepGoing = arguments.option("keep-going") != nullptr;
    if (const std::string* log = arguments.option("log"))
        request.logPath = *log;
    if (const std::string* resume = arguments.option("resume"))
        request.resumePath = *resume;
    int status = ExitUsage;
    std::optional<std::vector<std::string>> numbers = batchNumbers(arguments, status);
    if (!numbers)
        return status;
    request.numbers = std::move(*numbers);

    settings::EmailSettings record;
    if (!loadSettings(arguments.operands[0], LoadMode::AsOpened, record))
        return ExitFailure;
    if (!record.isComplete()) {
        printError("the settings in " + arguments.operands[0] +
                   " are not complete, so the window would not send them either; missing: " +
                   settings::describeMissingFields(record));
        return ExitFailure;
    }
    const auto table = tokenTablePath(arguments);
    if (!table)
        return ExitFailure;
    const auto phone = choosePhone(arguments, status);
    if (!phone)
        return status;
    return sendBatch(request, record, *table, *phone);
}

constexpr std::array<OptionInfo, 9> SendOptions = {{
    {"pin", "PIN", true, "the PIN code the phone asks for (1 to 10 characters)"},
    {"to", "NUMBERS", false,
     "recipients as \"num;num;...\": '+' and digits, '*', '#' (blanks, '-', '.', '(', ')' "
     "and '/' are ignored)"},
    {"to-file", "LIST", false,
     "more recipients from a file, one a line ('-' reads stdin; blank lines and # comments "
     "are skipped)"},
    PhoneOption,
    {"table", "PATH", false, "the token table file (default: table.dat, searched for)"},
    {"jobs", "N", false,
     "recipients in flight at once through a gateway (1 to 100, default 1); a phone sends "
     "one at a time"},
    {"keep-going", "", false, "go on after a recipient that failed instead of stopping"},
    {"log", "FILE", false, "append a line per recipient: number, sent or failed, time, answer"},
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
    "Ctrl+C stops after the pushes in flight and leaves the log complete.\n"
    "Progress goes to stderr (a progress line on a terminal), the outcome to\n"
    "stdout (success) or stderr.\n"
    "Exit status: 0 when every number was sent, 1 when a number failed, 2 when\n"
    "the command line is wrong or names no recipient or a piece that is no phone\n"
    "number, 130 after Ctrl+C.\n",
    SendOptions,
    runSend,
};

} // namespace mailvane::cli
