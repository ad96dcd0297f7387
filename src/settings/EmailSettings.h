#pragma once

// The in-memory record of one mailbox's settings. Every field is optional:
// absent (std::nullopt) is a different state from present-but-empty for text
// fields. Texts are ISO-8859-1 bytes held in std::string.

#include <cstdint>
#include <optional>
#include <string>

namespace mailvane::settings {

using TextField = std::optional<std::string>;
using FlagField = std::optional<std::uint8_t>;   // 1 = Yes, 0 = No
using ChoiceField = std::optional<std::int32_t>; // 0 or 1, meanings below

// Stored values of the flag and choice fields.
namespace values {
inline constexpr std::uint8_t No = 0;
inline constexpr std::uint8_t Yes = 1;
inline constexpr std::int32_t Pop3 = 0;
inline constexpr std::int32_t Imap4 = 1;
inline constexpr std::int32_t Latest = 0;
inline constexpr std::int32_t LatestUnread = 1;
inline constexpr std::int32_t Gprs = 0;
inline constexpr std::int32_t GsmData = 1;
inline constexpr std::int32_t Normal = 0;
inline constexpr std::int32_t Secure = 1;
inline constexpr std::int32_t Analog = 0;
inline constexpr std::int32_t Isdn = 1;
} // namespace values

namespace defaults {
inline constexpr const char* OutgoingPort = "25";
inline constexpr const char* Pop3Port = "110";
inline constexpr const char* Imap4Port = "143";
} // namespace defaults

// Present and not the empty string.
inline bool isNonEmpty(const TextField& field)
{
    return field.has_value() && !field->empty();
}

// The proxy and data-connection fields of one direction. Incoming and outgoing
// groups share this type so that one page can edit either through a reference.
struct ConnectionSettings
{
    FlagField proxies;
    TextField primaryProxy;
    TextField secondaryProxy;
    TextField primaryProxyPort;
    TextField secondaryProxyPort;
    ChoiceField dataBearer;
    ChoiceField bearerAuthenticationType;
    TextField bearerUsername;
    TextField bearerPassword;
    TextField gprsAccessPoint;
    TextField gsmDialUpNumber;
    ChoiceField gsmDataCallType;
    TextField gsmDataCallSpeed; // "Auto Bauding", "9600" or "14400"

    bool operator==(const ConnectionSettings&) const = default;
};

struct EmailSettings
{
    TextField to; // present only while a send is in progress
    TextField mailbox;
    TextField emailAddress;
    TextField myName; // no page edits it
    TextField outgoingServer;
    TextField incomingServer;
    ChoiceField incomingServerType;
    TextField incomingServerUsername;
    TextField incomingServerPassword;
    FlagField includeSignature; // no page edits it
    FlagField smtpAuthorization;
    FlagField secureLogin;
    TextField smtpUsername;
    TextField smtpPassword;
    TextField outgoingPort;
    TextField incomingPort;
    TextField replyToAddress;
    TextField retrieveEmails;
    ChoiceField retrieveMethod;
    ConnectionSettings incoming;
    ConnectionSettings outgoing;

    // Makes every field absent.
    void clear();

    // The File > New state: cleared, then IMAP4 with ports 25 and 143.
    void resetToDefaults();

    // The condition for enabling Send.
    bool isComplete() const;

    bool operator==(const EmailSettings&) const = default;
};

} // namespace mailvane::settings
