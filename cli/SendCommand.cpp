#include "SendCommand.h"

#include "CliSupport.h"
#include "Command.h"
#include "Completeness.h"
#include "PhoneBackEnd.h"
#include "PhoneConfiguration.h"
#include "PhoneLink.h"
#include "Recipients.h"
#include "SendingLoop.h"
#include "StringTable.h"
#include "TokenTableLocator.h"

#include <array>
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

std::string statusText(phone::HRESULT status)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(status));
    return text;
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

int runSend(const Arguments& arguments)
{
    const std::string& pin = *arguments.option("pin");
    if (pin.empty() || pin.size() > MaxPinLength)
        return usageError("the PIN must have 1 to " + std::to_string(MaxPinLength) + " characters");
    // A text with no number in it is not a successful send to nobody.
    const std::vector<std::string> numbers = settings::splitRecipients(*arguments.option("to"));
    if (numbers.empty()) {
        printError(settings::stringText(settings::strings::NoRecipientsMessage));
        return ExitUsage;
    }

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
    if (const auto failed = installPhone(arguments))
        return *failed;

    phone::PhoneLink link(*table);
    if (!link.tokenTableLoaded()) {
        printError("cannot read the token table " + table->string());
        return ExitFailure;
    }
    link.setMessageProgress([](unsigned message, unsigned count) {
        std::fprintf(stderr, "  message %u of %u\n", message, count);
    });
    const phone::SendingOutcome outcome =
        phone::sendToRecipients(link, record, numbers, pin,
                                [](std::size_t index, std::size_t count, const std::string& to) {
                                    std::fprintf(stderr, "Sending to %s (recipient %zu of %zu)\n",
                                                 to.c_str(), index, count);
                                });
    const std::string text(phone::outcomeText(outcome));
    if (outcome.sent)
        return printOutput(text + "\n");
    printError(text + " (status " + statusText(outcome.lastStatus) + "; " +
               std::to_string(outcome.numbersSent) + " of " + std::to_string(numbers.size()) +
               " recipients sent)");
    return ExitFailure;
}

constexpr std::array<OptionInfo, 4> SendOptions = {{
    {"pin", "PIN", true, "the PIN code the phone asks for (1 to 10 characters)"},
    {"to", "NUMBERS", true, "recipients as \"num;num;...\" (blanks and tabs are ignored)"},
    PhoneOption,
    {"table", "PATH", false, "the token table file (default: table.dat, searched for)"},
}};

} // namespace

std::optional<int> installPhone(const Arguments& arguments)
{
    std::optional<std::string> given;
    if (const std::string* phone = arguments.option("phone"))
        given = *phone;
    const std::string chosen = phone::configuredPhoneSelection(given);
    if (phone::installPhoneBackEnd(chosen))
        return std::nullopt;
    printError("unknown phone '" + chosen + "': " + phone::phoneSelectionHelp());
    return given ? ExitUsage : ExitFailure;
}

extern const Command sendCommand;
const Command sendCommand{
    "send",
    "FILE",
    1,
    "Send the settings of a file to phones through the attached phone.",
    "The file is opened as the window opens it and must be complete. Each number\n"
    "gets its own push, in order; sending stops at the first number that fails.\n"
    "Progress goes to stderr, the outcome to stdout (success) or stderr.\n"
    "Exit status: 0 when every number was sent, 1 when sending failed, 2 when\n"
    "the command line is wrong or names no recipient.\n",
    SendOptions,
    runSend,
};

} // namespace mailvane::cli
