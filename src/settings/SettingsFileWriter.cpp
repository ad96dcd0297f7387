#include "SettingsFileWriter.h"

#include "AtomicFile.h"
#include "SettingsFields.h"

#include <string_view>

namespace mailvane::settings {
namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr std::string_view FileHeading = "#E-Mail Settings File";
constexpr std::string_view ProxyHeading = "#Proxy Settings";
constexpr std::string_view BearerHeading = "#Bearer Settings";

class SettingsTextBuilder
{
public:
    explicit SettingsTextBuilder(const EmailSettings& record) : m_record(record) {}

    std::string build()
    {
        line(FileHeading);
        for (FieldId id :
             {FieldId::To, FieldId::Mailbox, FieldId::MyName, FieldId::EmailAddress,
              FieldId::OutgoingServer, FieldId::OutgoingPort, FieldId::SmtpUsername,
              FieldId::SmtpPassword, FieldId::IncomingServerType, FieldId::IncomingServer,
              FieldId::IncomingPort, FieldId::IncomingServerUsername,
              FieldId::IncomingServerPassword, FieldId::ReplyToAddress, FieldId::RetrieveEmails,
              FieldId::RetrieveMethod, FieldId::IncludeSignature, FieldId::SmtpAuthorization,
              FieldId::SecureLogin})
            field(id);
        group(Direction::Incoming);
        group(Direction::Outgoing);
        return std::move(m_text);
    }

private:
    void line(std::string_view text)
    {
        m_text += text;
        m_text += LineEnd;
    }

    void keyLine(const FieldInfo& spec, std::string_view value)
    {
        m_text += spec.key;
        m_text += ": ";
        line(value);
    }

    // A text field when non-empty, a flag or choice when present.
    void field(FieldId id)
    {
        const FieldInfo& spec = fieldInfo(id);
        if (spec.kind == FieldKind::Text || spec.kind == FieldKind::CallSpeed) {
            const TextField& value = textValue(spec, m_record);
            if (isNonEmpty(value))
                keyLine(spec, *value);
        } else if (const std::optional<int> value = numberValue(spec, m_record)) {
            keyLine(spec, writtenWord(spec, *value));
        }
    }

    void field(Direction direction, GroupField groupField)
    {
        field(groupFieldId(direction, groupField));
    }

    void group(Direction direction)
    {
        line({});
        line(ProxyHeading);
        for (GroupField id :
             {GroupField::Proxies, GroupField::PrimaryProxy, GroupField::PrimaryProxyPort,
              GroupField::SecondaryProxy, GroupField::SecondaryProxyPort})
            field(direction, id);

        line({});
        line(BearerHeading);
        const FieldInfo& bearer = fieldInfo(groupFieldId(direction, GroupField::DataBearer));
        const std::optional<int> bearerValue = numberValue(bearer, m_record);
        if (!bearerValue)
            return;
        field(direction, GroupField::DataBearer);
        if (*bearerValue != values::Gprs) {
            field(direction, GroupField::GsmDialUpNumber);
            field(direction, GroupField::GsmDataCallType);
            field(direction, GroupField::GsmDataCallSpeed);
        } else {
            field(direction, GroupField::GprsAccessPoint);
        }
        field(direction, GroupField::BearerUsername);
        field(direction, GroupField::BearerPassword);
        field(direction, GroupField::BearerAuthenticationType);
    }

    const EmailSettings& m_record;
    std::string m_text;
};

} // namespace

std::string settingsFileText(const EmailSettings& record)
{
    return SettingsTextBuilder(record).build();
}

bool isWritableValue(std::string_view value)
{
    return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

bool hasOnlyWritableValues(const EmailSettings& record)
{
    for (const FieldInfo& spec : allFields()) {
        if (spec.kind != FieldKind::Text && spec.kind != FieldKind::CallSpeed)
            continue;
        const TextField& value = textValue(spec, record);
        if (value && !isWritableValue(*value))
            return false;
    }
    return true;
}

WriteResult writeSettingsFile(const std::filesystem::path& path, const EmailSettings& record)
{
    // A line break inside a value would split it into lines the reader
    // rejects or, worse, reads as other keys.
    if (!hasOnlyWritableValues(record))
        return {WriteStatus::UnwritableValue, 0};
    const AtomicWriteResult written = replaceFileAtomically(path, settingsFileText(record));
    switch (written.status) {
    case AtomicWriteStatus::Success:
        return {};
    case AtomicWriteStatus::CannotCreate:
        return {WriteStatus::CannotOpen, written.systemError};
    case AtomicWriteStatus::WriteFailed:
        break;
    }
    return {WriteStatus::WriteFailed, written.systemError};
}

} // namespace mailvane::settings
