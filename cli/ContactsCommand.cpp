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
    const phone::HRESULT status = link.ReadContacts(contacts);
    if (contacts.empty() && platform::FAILED(status)) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(status));
        printError(std::string("cannot read the phone's contacts (status ") + code + ")");
        return ExitFailure;
    }
    if (contacts.empty()) {
        printError(selection->kind == phone::PhoneSelection::Kind::Gateway
                       ? "No Contacts Found: a gateway keeps no contacts; give the numbers "
                         "with send --to or --to-file"
                       : "No Contacts Found");
        return ExitSuccess;
    }
    std::string out;
    for (const auto& [name, number] : contacts)
        out += platform::bstrToUtf8(name) + '\t' + platform::bstrToUtf8(number) + '\n';
    return printOutput(out);
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
    "lines; one without a name gives none.\n",
    ContactsOptions,
    runContacts,
};

} // namespace mailvane::cli
