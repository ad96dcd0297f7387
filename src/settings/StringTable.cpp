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
    {77, "Save Changes"},
    {78, "Do you want to save the changes?"},
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
