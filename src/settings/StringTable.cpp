#include "StringTable.h"

#include <algorithm>
#include <array>
#include <utility>

namespace mailvane::settings {
namespace {

using Entry = std::pair<StringId, std::string_view>;

// Kept sorted by id: looked up by binary search.
constexpr auto Entries = std::to_array<Entry>({
    {3, "Mailbox name:"},
    {5, "E-mail address:"},
    {7, "Outgoing (SMTP) server:"},
    {9, "Incoming server:"},
    {10, "Incoming server type:"},
    {11, "User name:"},
    {12, "Password:"},
    {13, "POP3"},
    {14, "IMAP4"},
    {16, "Use SMTP authorisation:"},
    {17, "SMTP user name:"},
    {18, "SMTP password:"},
    {19, "Outgoing (SMTP) port:"},
    {20, "Incoming (POP3) port:"},
    {21, "Incoming (IMAP4) port:"},
    {22, "Reply-to address:"},
    {23, "Retrieve e-mails:"},
    {24, "Retrieval method:"},
    {25, "Secure login:"},
    {26, "Yes"},
    {27, "No"},
    {28, "Latest"},
    {29, "Latest unread"},
    {32, "Proxies:"},
    {33, "Primary proxy:"},
    {34, "Primary proxy port:"},
    {35, "Secondary proxy:"},
    {36, "Secondary proxy port:"},
    {37, "Data bearer:"},
    {38, "GPRS"},
    {39, "GSM data"},
    {40, "Access point:"},
    {41, "Authentication type:"},
    {43, "Dial-up number:"},
    {44, "Data call type:"},
    {45, "Data call speed:"},
    {46, "Normal"},
    {47, "Secure"},
    {50, "Analog"},
    {51, "ISDN"},
    {54, "  OK  "},
    {55, "Cancel"},
    {77, "Save Changes"},
    {78, "Do you want to save the changes?"},
    {82, "No help topic available."},
    {129, "Do you want to save the changes you made? (Settings file "},
    {130, "Do you want to replace the existing settings file "},
    {131, "File Not Found"},
    {132, "The file does not exist."},
    {133, "Invalid File Format"},
    {134, "The file format is invalid."},
    {201, "Recipients Missing"},
    {202, "No recipients are selected."},
    {203, "Sending Successful"},
    {204, "The e-mail settings were successfully sent to the target phone(s)."},
    {205, "Sending Failed"},
    {206, "An error occurred while sending the e-mail settings to the target phone(s)."},
    {207, "Phone isn't connected."},
    // The send workflow.
    {300, " Send "},
    {301, "Send e-mail settings"},
    {302, "Recipients:"},
    {303, "E-mail settings:"},
    {304, "Each e-mail settings message is made up of several text messages. Therefore, sending "
          "one e-mail settings message may cost more than sending one text message."},
    {305, "Sends the e-mail settings to the selected phone(s)."},
    {306, "Closes the dialog without saving changes."},
    {307, "Lists the recipients to whose phones the e-mail settings will be sent."},
    {308, "Displays all the e-mail settings that will be sent to the recipients' phones."},
    {309, "Closes the dialog and saves any changes you have made."},
    {310, "To:"},
    {311, "Choose Recipients"},
    {312, "Contacts:"},
    {313, "Name"},
    {314, "Number"},
    {315, "No Contacts Found"},
    {316, "Adds the selected contacts to the list of recipients."},
    {317, "Lists the names and mobile phone numbers that are found in the contacts folder of the "
          "connected phone. Select a contact to add it to the list of recipients."},
    {318, "Lists the names and numbers that you have selected as recipients."},
    {320, "Enter PIN Code"},
    {321, "Settings PIN code:"},
    {322, "Select a random PIN code that the Orvex Messaging Device user will have to type to "
          "activate settings upon receiving them.\n"},
    {323, "Write your PIN code. The PIN code is used in encoding the e-mail settings message. "
          "This code is needed when the settings are stored in the mobile phone."},
    {324, "Invalid PIN Code"},
    {325, "The PIN code is invalid."},
    {330, "Connecting to phone.\nThis may take a while."},
    {331, "Sending to %1 (%2 of %3)"},
    {332, "Reading the phone's contacts"},
});

static_assert(std::ranges::is_sorted(Entries, {}, &Entry::first),
              "the string table must stay sorted by id");

} // namespace

std::string_view stringText(StringId id)
{
    const auto found = std::ranges::lower_bound(Entries, id, {}, &Entry::first);
    if (found == Entries.end() || found->first != id)
        return {};
    return found->second;
}

} // namespace mailvane::settings
