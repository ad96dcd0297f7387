#pragma once

// The one description of every field of EmailSettings that the settings file
// reader and writer, the summary text and the pages share: the key as written
// in the file, the kind, the longest value the reader accepts, the value words
// as written and as shown, and the way into the record.

#include "EmailSettings.h"
#include "StringTable.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace mailvane::settings {

// Every field in the record's order; both connection groups follow the
// order of GroupField.
enum class FieldId
{
    To,
    Mailbox,
    EmailAddress,
    MyName,
    OutgoingServer,
    IncomingServer,
    IncomingServerType,
    IncomingServerUsername,
    IncomingServerPassword,
    IncludeSignature,
    SmtpAuthorization,
    SecureLogin,
    SmtpUsername,
    SmtpPassword,
    OutgoingPort,
    IncomingPort,
    ReplyToAddress,
    RetrieveEmails,
    RetrieveMethod,
    InProxies,
    InPrimaryProxy,
    InSecondaryProxy,
    InPrimaryProxyPort,
    InSecondaryProxyPort,
    InDataBearer,
    InBearerAuthenticationType,
    InBearerUsername,
    InBearerPassword,
    InGprsAccessPoint,
    InGsmDialUpNumber,
    InGsmDataCallType,
    InGsmDataCallSpeed,
    OutProxies,
    OutPrimaryProxy,
    OutSecondaryProxy,
    OutPrimaryProxyPort,
    OutSecondaryProxyPort,
    OutDataBearer,
    OutBearerAuthenticationType,
    OutBearerUsername,
    OutBearerPassword,
    OutGprsAccessPoint,
    OutGsmDialUpNumber,
    OutGsmDataCallType,
    OutGsmDataCallSpeed,
};

inline constexpr std::size_t FieldCount =
    static_cast<std::size_t>(FieldId::OutGsmDataCallSpeed) + 1;

// The fields of one connection group, in the order of ConnectionSettings.
enum class GroupField
{
    Proxies,
    PrimaryProxy,
    SecondaryProxy,
    PrimaryProxyPort,
    SecondaryProxyPort,
    DataBearer,
    BearerAuthenticationType,
    BearerUsername,
    BearerPassword,
    GprsAccessPoint,
    GsmDialUpNumber,
    GsmDataCallType,
    GsmDataCallSpeed,
};

enum class Direction
{
    Incoming,
    Outgoing
};

constexpr FieldId groupFieldId(Direction direction, GroupField field)
{
    const FieldId first =
        direction == Direction::Incoming ? FieldId::InProxies : FieldId::OutProxies;
    return static_cast<FieldId>(static_cast<int>(first) + static_cast<int>(field));
}

enum class FieldKind
{
    Text,
    Flag,
    Choice,
    CallSpeed, // text limited to the words of CallSpeedWords
};

// The two words of a flag or choice, indexed by the stored value (0 or 1).
struct ValueWords
{
    std::array<std::string_view, 2> written; // in the settings file
    std::array<StringId, 2> shown;           // on the pages and in the summary
};

// The three call speeds, written and shown alike.
inline constexpr std::array<std::string_view, 3> CallSpeedWords = {"Auto Bauding", "9600", "14400"};

// Both ways into one member: to change it and to read it.
template <typename Owner, typename Field> struct MemberAccess
{
    Field& (*ref)(Owner&);
    const Field& (*get)(const Owner&);
};

template <typename Owner>
using AnyMemberAccess = std::variant<MemberAccess<Owner, TextField>, MemberAccess<Owner, FlagField>,
                                     MemberAccess<Owner, ChoiceField>>;

struct FieldInfo
{
    FieldId id;
    std::string_view key; // as the writer writes it
    FieldKind kind;
    // Longest value the reader accepts; nothing for the fields whose key the
    // reader rejects (`To`, `My Name`, `Include Signature`).
    std::optional<std::size_t> readLimit;
    const ValueWords* words; // flags and choices only
    AnyMemberAccess<EmailSettings> access;
    // For the fields of a connection group: the same member reached from the
    // group itself, as a connection page holds it. Nothing for the others.
    std::optional<AnyMemberAccess<ConnectionSettings>> groupAccess;
};

std::span<const FieldInfo> allFields();
const FieldInfo& fieldInfo(FieldId id);

// The description of a group field; key and id are those of the incoming
// group, everything else holds for both.
inline const FieldInfo& groupFieldInfo(GroupField field)
{
    return fieldInfo(groupFieldId(Direction::Incoming, field));
}

// The key as the reader compares it: blanks and tabs removed, lower case.
std::string normaliseWord(std::string_view text);

// The field whose normalised key is `normalisedKey` and that the reader
// accepts, or nullptr.
const FieldInfo* findReadableField(std::string_view normalisedKey);

// Text fields (Text and CallSpeed kinds).
const TextField& textValue(const FieldInfo& spec, const EmailSettings& record);
TextField& textValue(const FieldInfo& spec, EmailSettings& record);

// Flag and choice fields, widened to int.
std::optional<int> numberValue(const FieldInfo& spec, const EmailSettings& record);
void setNumberValue(const FieldInfo& spec, EmailSettings& record, int value);

// The same for a group field reached through its group.
const TextField& textValue(const FieldInfo& spec, const ConnectionSettings& group);
TextField& textValue(const FieldInfo& spec, ConnectionSettings& group);
std::optional<int> numberValue(const FieldInfo& spec, const ConnectionSettings& group);
void setNumberValue(const FieldInfo& spec, ConnectionSettings& group, int value);

// The word a flag or choice is written or shown as: the second word for any
// non-zero value. Only for present values.
std::string_view writtenWord(const FieldInfo& spec, int value);
std::string_view shownWord(const FieldInfo& spec, int value);

} // namespace mailvane::settings
