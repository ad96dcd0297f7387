#include "SettingsSummary.h"

#include "SettingsFields.h"
#include "StringTable.h"

#include <string_view>

namespace mailvane::settings {
namespace {

constexpr std::string_view LineEnd = "\r\n";
// The odd blanks are part of the text the operator has always seen.
constexpr std::string_view GeneralHeading = "General: ";
constexpr std::string_view AdvancedHeading = "Advanced: ";
constexpr std::string_view ConnectionHeadingTail = " Connection:";
constexpr std::string_view SmtpConnectionHeading = "SMTP Connection: ";

class SummaryBuilder
{
public:
    explicit SummaryBuilder(const EmailSettings& record)
        : m_record(record),
          m_imap4(record.incomingServerType.value_or(values::Imap4) != values::Pop3)
    {}

    std::string build()
    {
        heading(GeneralHeading);
        text(strings::MailboxName, m_record.mailbox);
        text(strings::EmailAddress, m_record.emailAddress);
        text(strings::OutgoingServer, m_record.outgoingServer);
        word(strings::IncomingServerType, FieldId::IncomingServerType);
        text(strings::IncomingServer, m_record.incomingServer);
        text(strings::UserName, m_record.incomingServerUsername);
        password(strings::Password, m_record.incomingServerPassword);

        heading(AdvancedHeading);
        word(strings::UseSmtpAuthorisation, FieldId::SmtpAuthorization);
        text(strings::SmtpUserName, m_record.smtpUsername);
        password(strings::SmtpPassword, m_record.smtpPassword);
        text(strings::OutgoingPort, m_record.outgoingPort);
        text(m_imap4 ? strings::IncomingImap4Port : strings::IncomingPop3Port,
             m_record.incomingPort);
        text(strings::ReplyToAddress, m_record.replyToAddress);
        text(strings::RetrieveEmails, m_record.retrieveEmails);
        // Each of these means something for one server type only.
        if (m_imap4)
            word(strings::RetrievalMethod, FieldId::RetrieveMethod);
        else
            word(strings::SecureLogin, FieldId::SecureLogin);

        std::string incomingHeading(stringText(m_imap4 ? strings::Imap4 : strings::Pop3));
        incomingHeading += ConnectionHeadingTail;
        heading(incomingHeading);
        group(Direction::Incoming);
        heading(SmtpConnectionHeading);
        group(Direction::Outgoing);
        return std::move(m_text);
    }

private:
    void heading(std::string_view text)
    {
        m_text += LineEnd;
        m_text += text;
        m_text += LineEnd;
    }

    void line(StringId label, std::string_view value)
    {
        m_text += stringText(label);
        m_text += ' ';
        m_text += value;
        m_text += LineEnd;
    }

    void text(StringId label, const TextField& value)
    {
        if (isNonEmpty(value))
            line(label, *value);
    }

    void password(StringId label, const TextField& value)
    {
        if (isNonEmpty(value))
            line(label, std::string(value->size(), '*'));
    }

    void word(StringId label, FieldId id)
    {
        const FieldInfo& spec = fieldInfo(id);
        if (const std::optional<int> value = numberValue(spec, m_record))
            line(label, shownWord(spec, *value));
    }

    void group(Direction direction)
    {
        const auto id = [direction](GroupField field) {
            return groupFieldId(direction, field);
        };
        const auto value = [&](GroupField field) -> const TextField& {
            return textValue(fieldInfo(id(field)), m_record);
        };
        const FieldInfo& proxiesField = fieldInfo(id(GroupField::Proxies));
        if (const std::optional<int> proxies = numberValue(proxiesField, m_record)) {
            line(strings::Proxies, shownWord(proxiesField, *proxies));
            if (*proxies != values::No) {
                text(strings::PrimaryProxy, value(GroupField::PrimaryProxy));
                text(strings::PrimaryProxyPort, value(GroupField::PrimaryProxyPort));
                text(strings::SecondaryProxy, value(GroupField::SecondaryProxy));
                text(strings::SecondaryProxyPort, value(GroupField::SecondaryProxyPort));
            }
        }

        // Without a bearer its credentials mean nothing and are not shown.
        const FieldInfo& bearerField = fieldInfo(id(GroupField::DataBearer));
        const std::optional<int> bearer = numberValue(bearerField, m_record);
        if (!bearer)
            return;
        line(strings::DataBearer, shownWord(bearerField, *bearer));
        if (*bearer != values::Gprs) {
            text(strings::DialUpNumber, value(GroupField::GsmDialUpNumber));
            word(strings::DataCallType, id(GroupField::GsmDataCallType));
            text(strings::DataCallSpeed, value(GroupField::GsmDataCallSpeed));
        } else {
            text(strings::AccessPoint, value(GroupField::GprsAccessPoint));
        }
        word(strings::AuthenticationType, id(GroupField::BearerAuthenticationType));
        text(strings::UserName, value(GroupField::BearerUsername));
        password(strings::Password, value(GroupField::BearerPassword));
    }

    const EmailSettings& m_record;
    const bool m_imap4;
    std::string m_text;
};

} // namespace

std::string buildSummary(const EmailSettings& record)
{
    return SummaryBuilder(record).build();
}

} // namespace mailvane::settings
