#include "SettingsFields.h"

#include <algorithm>
#include <cassert>

namespace mailvane::settings {
namespace {

template <auto Member> constexpr auto recordField()
{
    using Field = std::remove_cvref_t<decltype(std::declval<EmailSettings&>().*Member)>;
    return FieldAccess<Field>{[](EmailSettings& record) -> Field& { return record.*Member; },
                              [](const EmailSettings& record) -> const Field& {
                                  return record.*Member;
                              }};
}

template <auto Group, auto Member> constexpr auto groupField()
{
    using Field = std::remove_cvref_t<decltype(std::declval<ConnectionSettings&>().*Member)>;
    return FieldAccess<Field>{
        [](EmailSettings& record) -> Field& { return (record.*Group).*Member; },
        [](const EmailSettings& record) -> const Field& {
            return (record.*Group).*Member;
        }};
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
#define MAILVANE_GROUP_FIELDS(Prefix, Group)                                                    \
    FieldSpec{F::Prefix##Proxies, #Prefix " Proxies", K::Flag, WordLimit, &FlagWords,           \
              groupField<Group, &ConnectionSettings::proxies>()},                               \
    FieldSpec{F::Prefix##PrimaryProxy, #Prefix " Primary Proxy", K::Text, LongTextLimit, nullptr,  \
              groupField<Group, &ConnectionSettings::primaryProxy>()},                          \
    FieldSpec{F::Prefix##SecondaryProxy, #Prefix " Secondary Proxy", K::Text, LongTextLimit,       \
              nullptr, groupField<Group, &ConnectionSettings::secondaryProxy>()},               \
    FieldSpec{F::Prefix##PrimaryProxyPort, #Prefix " Primary ProxyPort", K::Text, PortLimit,    \
              nullptr, groupField<Group, &ConnectionSettings::primaryProxyPort>()},             \
    FieldSpec{F::Prefix##SecondaryProxyPort, #Prefix " Secondary ProxyPort", K::Text,           \
              PortLimit, nullptr, groupField<Group, &ConnectionSettings::secondaryProxyPort>()},\
    FieldSpec{F::Prefix##DataBearer, #Prefix " Data Bearer", K::Choice, WordLimit,              \
              &BearerWords, groupField<Group, &ConnectionSettings::dataBearer>()},              \
    FieldSpec{F::Prefix##BearerAuthenticationType, #Prefix " Bearer Authentication Type",       \
              K::Choice, LongTextLimit, &AuthenticationWords,                                      \
              groupField<Group, &ConnectionSettings::bearerAuthenticationType>()},              \
    FieldSpec{F::Prefix##BearerUsername, #Prefix " Bearer Username", K::Text, 45, nullptr,      \
              groupField<Group, &ConnectionSettings::bearerUsername>()},                        \
    FieldSpec{F::Prefix##BearerPassword, #Prefix " Bearer Password", K::Text, 20, nullptr,      \
              groupField<Group, &ConnectionSettings::bearerPassword>()},                        \
    FieldSpec{F::Prefix##GprsAccessPoint, #Prefix " GPRS Access Point", K::Text, LongTextLimit,    \
              nullptr, groupField<Group, &ConnectionSettings::gprsAccessPoint>()},              \
    FieldSpec{F::Prefix##GsmDialUpNumber, #Prefix " GSM Dial-up Number", K::Text, 20, nullptr,  \
              groupField<Group, &ConnectionSettings::gsmDialUpNumber>()},                       \
    FieldSpec{F::Prefix##GsmDataCallType, #Prefix " GSM Data Call Type", K::Choice, WordLimit,  \
              &CallTypeWords, groupField<Group, &ConnectionSettings::gsmDataCallType>()},       \
    FieldSpec{F::Prefix##GsmDataCallSpeed, #Prefix " GSM Data Call Speed", K::CallSpeed,        \
              WordLimit, nullptr, groupField<Group, &ConnectionSettings::gsmDataCallSpeed>()}

const std::array<FieldSpec, FieldCount> Fields = {
    FieldSpec{F::To, "To", K::Text, Unread, nullptr, recordField<&EmailSettings::to>()},
    FieldSpec{F::Mailbox, "Mailbox", K::Text, NameLimit, nullptr,
              recordField<&EmailSettings::mailbox>()},
    FieldSpec{F::EmailAddress, "E-Mail Address", K::Text, AddressLimit, nullptr,
              recordField<&EmailSettings::emailAddress>()},
    FieldSpec{F::MyName, "My Name", K::Text, Unread, nullptr,
              recordField<&EmailSettings::myName>()},
    FieldSpec{F::OutgoingServer, "Outgoing Server", K::Text, AddressLimit, nullptr,
              recordField<&EmailSettings::outgoingServer>()},
    FieldSpec{F::IncomingServer, "Incoming Server", K::Text, AddressLimit, nullptr,
              recordField<&EmailSettings::incomingServer>()},
    FieldSpec{F::IncomingServerType, "Incoming Server Type", K::Choice, WordLimit,
              &ServerTypeWords, recordField<&EmailSettings::incomingServerType>()},
    FieldSpec{F::IncomingServerUsername, "Incoming Server Username", K::Text, NameLimit, nullptr,
              recordField<&EmailSettings::incomingServerUsername>()},
    FieldSpec{F::IncomingServerPassword, "Incoming Server Password", K::Text, NameLimit, nullptr,
              recordField<&EmailSettings::incomingServerPassword>()},
    FieldSpec{F::IncludeSignature, "Include Signature", K::Flag, Unread, &FlagWords,
              recordField<&EmailSettings::includeSignature>()},
    FieldSpec{F::SmtpAuthorization, "SMTP Authorization", K::Flag, WordLimit, &FlagWords,
              recordField<&EmailSettings::smtpAuthorization>()},
    FieldSpec{F::SecureLogin, "Secure Login", K::Flag, WordLimit, &FlagWords,
              recordField<&EmailSettings::secureLogin>()},
    FieldSpec{F::SmtpUsername, "SMTP Username", K::Text, NameLimit, nullptr,
              recordField<&EmailSettings::smtpUsername>()},
    FieldSpec{F::SmtpPassword, "SMTP Password", K::Text, NameLimit, nullptr,
              recordField<&EmailSettings::smtpPassword>()},
    FieldSpec{F::OutgoingPort, "Outgoing Port", K::Text, PortLimit, nullptr,
              recordField<&EmailSettings::outgoingPort>()},
    FieldSpec{F::IncomingPort, "Incoming Port", K::Text, PortLimit, nullptr,
              recordField<&EmailSettings::incomingPort>()},
    FieldSpec{F::ReplyToAddress, "Reply-To Address", K::Text, AddressLimit, nullptr,
              recordField<&EmailSettings::replyToAddress>()},
    FieldSpec{F::RetrieveEmails, "Retrieve E-Mails", K::Text, 4, nullptr,
              recordField<&EmailSettings::retrieveEmails>()},
    FieldSpec{F::RetrieveMethod, "Retrieve Method", K::Choice, WordLimit, &RetrieveMethodWords,
              recordField<&EmailSettings::retrieveMethod>()},
    MAILVANE_GROUP_FIELDS(In, &EmailSettings::incoming),
    MAILVANE_GROUP_FIELDS(Out, &EmailSettings::outgoing),
};
// clang-format on

#undef MAILVANE_GROUP_FIELDS

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

std::span<const FieldSpec> allFields()
{
    return Fields;
}

const FieldSpec& fieldSpec(FieldId id)
{
    const FieldSpec& spec = Fields[static_cast<std::size_t>(id)];
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

const FieldSpec* findReadableField(std::string_view normalisedKey)
{
    static const NormalisedKeys normalised;
    for (std::size_t i = 0; i < FieldCount; ++i) {
        if (Fields[i].readLimit && normalised.keys[i] == normalisedKey)
            return &Fields[i];
    }
    return nullptr;
}

const TextField& textValue(const FieldSpec& spec, const EmailSettings& record)
{
    return std::get<FieldAccess<TextField>>(spec.access).get(record);
}

TextField& textValue(const FieldSpec& spec, EmailSettings& record)
{
    return std::get<FieldAccess<TextField>>(spec.access).ref(record);
}

std::optional<int> numberValue(const FieldSpec& spec, const EmailSettings& record)
{
    if (const auto* flag = std::get_if<FieldAccess<FlagField>>(&spec.access)) {
        const FlagField& field = flag->get(record);
        return field ? std::optional<int>(*field) : std::nullopt;
    }
    const ChoiceField& field = std::get<FieldAccess<ChoiceField>>(spec.access).get(record);
    return field ? std::optional<int>(*field) : std::nullopt;
}

void setNumberValue(const FieldSpec& spec, EmailSettings& record, int value)
{
    if (const auto* flag = std::get_if<FieldAccess<FlagField>>(&spec.access))
        flag->ref(record) = static_cast<std::uint8_t>(value);
    else
        std::get<FieldAccess<ChoiceField>>(spec.access).ref(record) = value;
}

std::string_view writtenWord(const FieldSpec& spec, int value)
{
    return spec.words->written[value != 0 ? 1 : 0];
}

std::string_view shownWord(const FieldSpec& spec, int value)
{
    return stringText(spec.words->shown[value != 0 ? 1 : 0]);
}

} // namespace mailvane::settings
