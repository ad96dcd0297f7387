#include "Bstr.h"
#include "CliSupport.h"
#include "Command.h"
#include "PhoneLink.h"
#include "SendCommand.h"
#include "ServiceObjects.h"
#include "TokenTableLocator.h"

#include <array>
#include <cstdio>
#include <string>

namespace mailvane::cli {
namespace {

// "(DETAIL, status 0x...)": what the phone said, and the code for a report.
std::string accountOf(const phone::PhoneResult& result)
{
    char code[32];
    std::snprintf(code, sizeof code, "status 0x%08X", static_cast<unsigned>(result.status));
    return " (" + (result.detail.empty() ? "" : result.detail + ", ") + code + ")";
}

int runContacts(const Arguments& arguments)
{
    int exitStatus = ExitFailure;
    const auto selection = choosePhone(arguments, exitStatus);
    if (!selection)
        return exitStatus;
    phone::registerPhoneService(phone::createPhoneDevice(*selection));
    // Listing contacts encodes nothing; a missing token table does not matter.
    phone::PhoneLink link(provisioning::locateTokenTable(arguments.executableDir)
                              .value_or(provisioning::TokenTableFileName));
    phone::ContactList contacts;
    const phone::ContactsResult result = link.ReadContacts(contacts);
    const bool nothingListed = result.phoneMemory.failed() && result.sim.failed();
    if (contacts.empty() && nothingListed) {
        printError("cannot read the phone's contacts" + accountOf(result.lastRequest));
        return ExitFailure;
    }
    if (contacts.empty() && result.complete()) {
        printError(selection->kind == phone::PhoneSelection::Kind::Gateway
                       ? "No Contacts Found: a gateway keeps no contacts; give the numbers "
                         "with send --to or --to-file"
                       : "No Contacts Found");
        return ExitSuccess;
    }
    std::string out;
    for (const auto& [name, number] : contacts)
        out += platform::bstrToUtf8(name) + '\t' + platform::bstrToUtf8(number) + '\n';
    const int written = printOutput(out);
    if (result.complete())
        return written;
    // What was read is still printed, but a short list must not pass for the whole.
    for (const auto store : {phone::ContactStore::PhoneMemory, phone::ContactStore::Sim}) {
        if (result.of(store).failed())
            printError(phone::missingContactsNotice(result, store) + accountOf(result.of(store)));
    }
    return written == ExitSuccess ? ExitFailure : written;
}

constexpr std::array<OptionInfo, 1> ContactsOptions = {{PhoneOption}};

} // namespace

extern const Command contactsCommand;
const Command contactsCommand{
    "contacts",
    "",
    0,
    "List the names and numbers of the attached phone's contacts.",
    "One contact number a line: the name, a tab, the number (UTF-8), the phone's\n"
    "own memory first, then the SIM. A contact with several numbers gives several\n"
    "lines; one without a name gives none. When one of the two cannot be listed\n"
    "(unreadable, or holding more contacts than are listed), the rest is printed,\n"
    "a line on stderr says which is missing and why, and the exit status is 1.\n",
    ContactsOptions,
    runContacts,
};

} // namespace mailvane::cli
