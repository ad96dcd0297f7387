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
    {31, "Proxy"},
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
    {79, "Auto Bauding"},
    {80, "9600"},
    {81, "14400"},
    {82, "No help topic available."},
    // What's-This help of the settings pages.
    {90, "Type the name of the mailbox."},
    {91, "Type the user's e-mail address."},
    {92, "Type the server address."},
    {93, "Select either POP3 or IMAP4 depending on the type of e-mail system used."},
    {94, "Type the e-mail server address for incoming mail."},
    {95, "Type the user name of the incoming mail server."},
    {96, "Type the password of the incoming mail server."},
    {97, "Type the user name of the outgoing mail server."},
    {98, "Type the password of the outgoing mail server."},
    {99, "Type the port number of the outgoing mail server."},
    {100, "Type the port number of the incoming mail server."},
    {101, "Select Yes, if the e-mail service provider requires authentication for sending "
          "e-mails. In this case, you must also define the SMTP user name and password."},
    {102, "Type the e-mail address to which replies are sent. This is needed only if the address "
          "is different from the user's e-mail address."},
    {103, "Enter the mamixum number of e-mails that you want retrieved at a time."},
    {104, "Select Latest if you want to retrieve all new received e-mails, or select Latest "
          "unread if you want to retrieve only e-mails that you have not read."},
    {105, "Use secure login on POP3 server, if the connection requires an encrypted login. Using "
          "encrypted login enables increased security for user names and passwords."},
    {107, "Define the proxy settings if necessary."},
    {108, "You may want to use a proxy to quicken access to the Internet. Some Internet service "
          "providers require the use of web proxies."},
    {109, "Type the IP address of the primary proxy server, or the domain name."},
    {110, "Type the number of the primary proxy port. Common values are 8000 and 8080, but vary "
          "with the proxy server."},
    {111, "Type the IP address of the secondary proxy server, or the domain name."},
    {112, "Type the number of the secondary proxy port. Common values are 8000 and 8080, but "
          "vary with the proxy server."},
    {113, "Choose the data connection type: packet data (GPRS) or GSM data."},
    {114, "Define the connection settings required for establishing a packet data connection."},
    {115, "Type the name of the GPRS access point."},
    {116, "Select the authentication type of the GPRS connection (normal or secure)."},
    {117, "A user name may be needed to make a data connection. Type the user name if required "
          "by the service provider."},
    {118, "A password may be needed to make a GPRS connection. Type the password if required by "
          "the service provider."},
    {119, "Define the connection settings required for establishing a GSM data connection."},
    {120, "Type the modem telephone number used for GSM data connections."},
    {121, "Select the authentication type of the GSM data connection (normal or secure)."},
    {122, "Select the appropriate data call type. Select Analog if a modem connection is used."},
    {123, "Select a data transmission speed for a modem connection. If you select Automatic, the "
          "data transmission rate is determined automatically."},
    {124, "A user name may be needed to make a GSM data connection. Type the user name if "
          "required by the service provider."},
    {125, "A password may be needed to make a GSM data connection. Type the password if "
          "required by the service provider."},
    {129, "Do you want to save the changes you made? (Settings file "},
    {130, "Do you want to replace the existing settings file "},
    {131, "File Not Found"},
    {132, "The file does not exist."},
    {133, "Invalid File Format"},
    {134, "The file format is invalid."},
    {144, "This field is mandatory."},
    {145, "Note: The asterisk indicates mandatory fields, which must be filled in before "
          "sending the e-mail settings"},
    {201, "Recipients Missing"},
    {202, "No recipients are selected."},
    {203, "Sending Successful"},
    {204, "The e-mail settings were successfully sent to the target phone(s)."},
    {205, "Sending Failed"},
    {206, "An error occurred while sending the e-mail settings to the target phone(s)."},
    {207, "Phone isn't connected."},
    {208, "Recipients Invalid"},
    {209, "\"%1\" is not a phone number."},
    {210, "Sending to %1 failed: %2."},
    {211, "Sending to %1 failed at message %2 of %3: %4."},
    {212, "Numbers sent before it: %1 of %2."},
    {213, "Not tried: %1."},
    {214, "and %1 more"},
    {215, "The SMS gateway cannot be reached."},
    {220, "the phone could not be reached"},
    {221, "the connection to the phone was lost"},
    {222, "the phone did not answer in time"},
    {223, "the phone refused the message"},
    {224, "the gateway refused the message"},
    {225, "the gateway could not be reached"},
    {226, "the gateway did not answer in time, so the message may have gone out"},
    {227, "the phone service is not available"},
    {228, "the settings could not be made into a provisioning message"},
    {229, "the token table %1 does not exist"},
    {230, "the token table %1 cannot be read"},
    {231, "the token table %1 holds no tokens"},
    {232, "the phone service answered with the unknown status %1"},
    // The main window: texts that have no number of their own in the design
    // are numbered from 300.
    {300, "Mailvane       "},
    {301, "E-mail settings for Orvex 7741 and Orvex 7742 phones"},
    {302, "To phone number(s):"},
    {303, "Send e-mail settings"},
    {304, "Empty Fields"},
    {305, "Opens the list of contacts from which you can select the recipients."},
    {306, "Sends the e-mail settings to the selected phone(s)."},
    {307, " General "},
    {308, " Advanced "},
    {309, " Incoming "},
    {310, " Outgoing "},
    {311, "Sheet"},
    {312, "File"},
    {313, "New"},
    {314, "Open"},
    {315, "Save"},
    {316, "Save As"},
    {317, "Exit"},
    {318, "Help"},
    {319, "What's This?"},
    {320, "About Mailvane"},
    {321, "No help available"},
    {322, "Save Failed"},
    {323, "The settings could not be saved to "},
    // The password fields' context menu.
    {330, "&Undo"},
    {331, "Cu&t"},
    {332, "&Copy"},
    {333, "&Paste"},
    {334, "&Delete"},
    {335, "Select &All"},
    // The send workflow.
    {400, " Send "},
    {401, "Recipients:"},
    {402, "E-mail settings:"},
    {403, "Each e-mail settings message is made up of several text messages. Therefore, sending "
          "one e-mail settings message may cost more than sending one text message."},
    {404, "Closes the dialog without saving changes."},
    {405, "Lists the recipients to whose phones the e-mail settings will be sent."},
    {406, "Displays all the e-mail settings that will be sent to the recipients' phones."},
    {407, "Closes the dialog and saves any changes you have made."},
    {408, "To:"},
    {409, "Choose Recipients"},
    {410, "Contacts:"},
    {411, "Name"},
    {412, "Number"},
    {413, "No Contacts Found"},
    {414, "Adds the selected contacts to the list of recipients."},
    {415, "Lists the names and mobile phone numbers that are found in the contacts folder of the "
          "connected phone. Select a contact to add it to the list of recipients."},
    {416, "Lists the names and numbers that you have selected as recipients."},
    {417, "the phone's memory"},
    {418, "the SIM"},
    {419, "Incomplete list: %1 could not be read."},
    {420, "Enter PIN Code"},
    {421, "Settings PIN code:"},
    {422, "Select a random PIN code that the Orvex Messaging Device user will have to type to "
          "activate settings upon receiving them.\n"},
    {423, "Write your PIN code. The PIN code is used in encoding the e-mail settings message. "
          "This code is needed when the settings are stored in the mobile phone."},
    {424, "Invalid PIN Code"},
    {425, "The PIN code is invalid."},
    {426, "Incomplete list: %1 holds more than %2 contacts, more than can be listed."},
    {430, "Connecting to phone.\nThis may take a while."},
    {431, "Sending to %1 (%2 of %3)"},
    {432, "Reading the phone's contacts"},
});

static_assert(std::ranges::adjacent_find(Entries, std::ranges::greater_equal{}, &Entry::first) ==
                  Entries.end(),
              "the string table must stay sorted by id, each id once");

} // namespace

std::string_view stringText(StringId id)
{
    const auto found = std::ranges::lower_bound(Entries, id, {}, &Entry::first);
    if (found == Entries.end() || found->first != id)
        return {};
    return found->second;
}

std::string stringText(StringId id, std::initializer_list<std::string_view> arguments)
{
    const std::string_view text = stringText(id);
    std::string filled;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const std::size_t slot =
            next >= '1' && next <= '9' ? std::size_t(next - '1') : arguments.size();
        if (text[i] == '%' && slot < arguments.size()) {
            filled += arguments.begin()[slot];
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

} // namespace mailvane::settings
