#include "SettingsFields.h"

#include <algorithm>
#include <cassert>

namespace mailvane::settings {
namespace {

template <auto Member> constexpr auto recordField()
{
    using Field = std::remove_cvref_t<decltype(std::declval<EmailSettings&>().*Member)>;
    return MemberAccess<EmailSettings, Field>{
        [](EmailSettings& record) -> Field& { return record.*Member; },
        [](const EmailSettings& record) -> const Field& {
            return record.*Member;
        }};
}

template <auto Group, auto Member> constexpr auto groupField()
{
    using Field = std::remove_cvref_t<decltype(std::declval<ConnectionSettings&>().*Member)>;
    return MemberAccess<EmailSettings, Field>{
        [](EmailSettings& record) -> Field& { return (record.*Group).*Member; },
        [](const EmailSettings& record) -> const Field& {
            return (record.*Group).*Member;
        }};
}

template <auto Member> constexpr std::optional<AnyMemberAccess<ConnectionSettings>> withinGroup()
{
    using Field = std::remove_cvref_t<decltype(std::declval<ConnectionSettings&>().*Member)>;
    return MemberAccess<ConnectionSettings, Field>{
        [](ConnectionSettings& group) -> Field& { return group.*Member; },
        [](const ConnectionSettings& group) -> const Field& {
            return group.*Member;
        }};
}

template <typename Owner>
std::optional<int> numberIn(const AnyMemberAccess<Owner>& access, const Owner& owner)
{
    if (const auto* flag = std::get_if<MemberAccess<Owner, FlagField>>(&access)) {
        const FlagField& field = flag->get(owner);
        return field ? std::optional<int>(*field) : std::nullopt;
    }
    const ChoiceField& field = std::get<MemberAccess<Owner, ChoiceField>>(access).get(owner);
    return field ? std::optional<int>(*field) : std::nullopt;
}

template <typename Owner>
void setNumberIn(const AnyMemberAccess<Owner>& access, Owner& owner, int value)
{
    if (const auto* flag = std::get_if<MemberAccess<Owner, FlagField>>(&access))
        flag->ref(owner) = static_cast<std::uint8_t>(value);
    else
        std::get<MemberAccess<Owner, ChoiceField>>(access).ref(owner) = value;
}

constexpr ValueWords FlagWords{{"No", "Yes"}, {strings::No, strings::Yes}};
constexpr ValueWords ServerTypeWords{{"POP3", "IMAP4"}, {strings::Pop3, strings::Imap4}};
constexpr ValueWords RetrieveMethodWords{{"Latest", "Latest-Unread"},
                                         {strings::Latest, strings::LatestUnread}};
constexpr ValueWords BearerWords{{"GPRS", "GSM Data"}, {strings::Gprs, strings::GsmData}};
constexpr ValueWords AuthenticationWords{{"Normal", "Secure"}, {strings::Normal, strings::Secure}};
constexpr ValueWords CallTypeWords{{"Analog", "ISDN"}, {strings::Analog, strings::Isdn}};

// Values of flags and choices are single words; the reader still lets a long
// line through up to this length before calling the file invalid.
constexpr std::size_t WordLimit = 1000;
constexpr std::size_t PortLimit = 5;
constexpr std::size_t NameLimit = 50;
constexpr std::size_t AddressLimit = 80;
constexpr std::size_t LongTextLimit = 100;

using K = FieldKind;
using F = FieldId;
constexpr std::nullopt_t Unread = std::nullopt;

// clang-format off
// The two groups differ only in the key prefix and the record member.
#define MAILVANE_GROUP_FIELD(Prefix, Group, Id, Key, Kind, Limit, Words, Member)            \
    FieldInfo{F::Prefix##Id, #Prefix " " Key, Kind, Limit, Words,                           \
              groupField<Group, &ConnectionSettings::Member>(),                             \
              withinGroup<&ConnectionSettings::Member>()}
#define MAILVANE_GROUP_FIELDS(P, G)                                                          \
    MAILVANE_GROUP_FIELD(P, G, Proxies, "Proxies", K::Flag, WordLimit, &FlagWords, proxies), \
    MAILVANE_GROUP_FIELD(P, G, PrimaryProxy, "Primary Proxy", K::Text, LongTextLimit,        \
                         nullptr, primaryProxy),                                             \
    MAILVANE_GROUP_FIELD(P, G, SecondaryProxy, "Secondary Proxy", K::Text, LongTextLimit,    \
                         nullptr, secondaryProxy),                                           \
    MAILVANE_GROUP_FIELD(P, G, PrimaryProxyPort, "Primary ProxyPort", K::Text, PortLimit,    \
                         nullptr, primaryProxyPort),                                         \
    MAILVANE_GROUP_FIELD(P, G, SecondaryProxyPort, "Secondary ProxyPort", K::Text, PortLimit,\
                         nullptr, secondaryProxyPort),                                       \
    MAILVANE_GROUP_FIELD(P, G, DataBearer, "Data Bearer", K::Choice, WordLimit,              \
                         &BearerWords, dataBearer),                                          \
    MAILVANE_GROUP_FIELD(P, G, BearerAuthenticationType, "Bearer Authentication Type",       \
                         K::Choice, LongTextLimit, &AuthenticationWords,                     \
                         bearerAuthenticationType),                                          \
    MAILVANE_GROUP_FIELD(P, G, BearerUsername, "Bearer Username", K::Text, 45, nullptr,      \
                         bearerUsername),                                                    \
    MAILVANE_GROUP_FIELD(P, G, BearerPassword, "Bearer Password", K::Text, 20, nullptr,      \
                         bearerPassword),                                                    \
    MAILVANE_GROUP_FIELD(P, G, GprsAccessPoint, "GPRS Access Point", K::Text, LongTextLimit, \
                         nullptr, gprsAccessPoint),                                          \
    MAILVANE_GROUP_FIELD(P, G, GsmDialUpNumber, "GSM Dial-up Number", K::Text, 20, nullptr,  \
                         gsmDialUpNumber),                                                   \
    MAILVANE_GROUP_FIELD(P, G, GsmDataCallType, "GSM Data Call Type", K::Choice, WordLimit,  \
                         &CallTypeWords, gsmDataCallType),                                   \
    MAILVANE_GROUP_FIELD(P, G, GsmDataCallSpeed, "GSM Data Call Speed", K::CallSpeed,        \
                         WordLimit, nullptr, gsmDataCallSpeed)

const std::array<FieldInfo, FieldCount> Fields = {
    FieldInfo{F::To, "To", K::Text, Unread, nullptr, recordField<&EmailSettings::to>(), std::nullopt},
    FieldInfo{F::Mailbox, "Mailbox", K::Text, NameLimit, nullptr,
              recordField<&EmailSettings::mailbox>(), std::nullopt},
    FieldInfo{F::EmailAddress, "E-Mail Address", K::Text, AddressLimit, nullptr,
              recordField<&EmailSettings::emailAddress>(), std::nullopt},
    FieldInfo{F::MyName, "My Name", K::Text, Unread, nullptr,
              recordField<&EmailSettings::myName>(), std::nullopt},
    FieldInfo{F::OutgoingServer, "Outgoing Server", K::Text, AddressLimit, nullptr,
              recordField<&EmailSettings::outgoingServer>(), std::nullopt},
    FieldInfo{F::IncomingServer, "Incoming Server", K::Text, AddressLimit, nullptr,
              recordField<&EmailSettings::incomingServer>(), std::nullopt},
    FieldInfo{F::IncomingServerType, "Incoming Server Type", K::Choice, WordLimit,
              &ServerTypeWords, recordField<&EmailSettings::incomingServerType>(), std::nullopt},
    FieldInfo{F::IncomingServerUsername, "Incoming Server Username", K::Text, NameLimit, nullptr,
              recordField<&EmailSettings::incomingServerUsername>(), std::nullopt},
    FieldInfo{F::IncomingServerPassword, "Incoming Server Password", K::Text, NameLimit, nullptr,
              recordField<&EmailSettings::incomingServerPassword>(), std::nullopt},
    FieldInfo{F::IncludeSignature, "Include Signature", K::Flag, Unread, &FlagWords,
              recordField<&EmailSettings::includeSignature>(), std::nullopt},
    FieldInfo{F::SmtpAuthorization, "SMTP Authorization", K::Flag, WordLimit, &FlagWords,
              recordField<&EmailSettings::smtpAuthorization>(), std::nullopt},
    FieldInfo{F::SecureLogin, "Secure Login", K::Flag, WordLimit, &FlagWords,
              recordField<&EmailSettings::secureLogin>(), std::nullopt},
    FieldInfo{F::SmtpUsername, "SMTP Username", K::Text, NameLimit, nullptr,
              recordField<&EmailSettings::smtpUsername>(), std::nullopt},
    FieldInfo{F::SmtpPassword, "SMTP Password", K::Text, NameLimit, nullptr,
              recordField<&EmailSettings::smtpPassword>(), std::nullopt},
    FieldInfo{F::OutgoingPort, "Outgoing Port", K::Text, PortLimit, nullptr,
              recordField<&EmailSettings::outgoingPort>(), std::nullopt},
    FieldInfo{F::IncomingPort, "Incoming Port", K::Text, PortLimit, nullptr,
              recordField<&EmailSettings::incomingPort>(), std::nullopt},
    FieldInfo{F::ReplyToAddress, "Reply-To Address", K::Text, AddressLimit, nullptr,
              recordField<&EmailSettings::replyToAddress>(), std::nullopt},
    FieldInfo{F::RetrieveEmails, "Retrieve E-Mails", K::Text, 4, nullptr,
              recordField<&EmailSettings::retrieveEmails>(), std::nullopt},
    FieldInfo{F::RetrieveMethod, "Retrieve Method", K::Choice, WordLimit, &RetrieveMethodWords,
              recordField<&EmailSettings::retrieveMethod>(), std::nullopt},
    MAILVANE_GROUP_FIELDS(In, &EmailSettings::incoming),
    MAILVANE_GROUP_FIELDS(Out, &EmailSettings::outgoing),
};
// clang-format on

#undef MAILVANE_GROUP_FIELDS
#undef MAILVANE_GROUP_FIELD

bool isBlankOrTab(char c)
{
    return c == ' ' || c == '\t';
}

char toLowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

struct NormalisedKeys
{
    std::array<std::string, FieldCount> keys;
    NormalisedKeys()
    {
        for (std::size_t i = 0; i < FieldCount; ++i)
            keys[i] = normaliseWord(Fields[i].key);
    }
};

} // namespace

std::span<const FieldInfo> allFields()
{
    return Fields;
}

const FieldInfo& fieldInfo(FieldId id)
{
    const FieldInfo& spec = Fields[static_cast<std::size_t>(id)];
    assert(spec.id == id);
    return spec;
}

std::string normaliseWord(std::string_view text)
{
    // Lower-casing ASCII only is enough: the keys and words are ASCII, and no
    // ISO-8859-1 letter lower-cases into ASCII.
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (!isBlankOrTab(c))
            result.push_back(toLowerAscii(c));
    }
    return result;
}

const FieldInfo* findReadableField(std::string_view normalisedKey)
{
    static const NormalisedKeys normalised;
    for (std::size_t i = 0; i < FieldCount; ++i) {
        if (Fields[i].readLimit && normalised.keys[i] == normalisedKey)
            return &Fields[i];
    }
    return nullptr;
}

const TextField& textValue(const FieldInfo& spec, const EmailSettings& record)
{
    return std::get<MemberAccess<EmailSettings, TextField>>(spec.access).get(record);
}

TextField& textValue(const FieldInfo& spec, EmailSettings& record)
{
    return std::get<MemberAccess<EmailSettings, TextField>>(spec.access).ref(record);
}

std::optional<int> numberValue(const FieldInfo& spec, const EmailSettings& record)
{
    return numberIn(spec.access, record);
}

void setNumberValue(const FieldInfo& spec, EmailSettings& record, int value)
{
    setNumberIn(spec.access, record, value);
}

const TextField& textValue(const FieldInfo& spec, const ConnectionSettings& group)
{
    return std::get<MemberAccess<ConnectionSettings, TextField>>(spec.groupAccess.value())
        .get(group);
}

TextField& textValue(const FieldInfo& spec, ConnectionSettings& group)
{
    return std::get<MemberAccess<ConnectionSettings, TextField>>(spec.groupAccess.value())
        .ref(group);
}

std::optional<int> numberValue(const FieldInfo& spec, const ConnectionSettings& group)
{
    return numberIn(spec.groupAccess.value(), group);
}

void setNumberValue(const FieldInfo& spec, ConnectionSettings& group, int value)
{
    setNumberIn(spec.groupAccess.value(), group, value);
}

std::string_view writtenWord(const FieldInfo& spec, int value)
{
    return spec.words->written[value != 0 ? 1 : 0];
}

std::string_view shownWord(const FieldInfo& spec, int value)
{
    return stringText(spec.words->shown[value != 0 ? 1 : 0]);
}

} // namespace mailvane::settings
