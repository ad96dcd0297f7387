#include "OpenSettings.h"

namespace mailvane::settings {

void applyOpenDefaults(EmailSettings& record)
{
    if (!record.outgoingPort)
        record.outgoingPort = defaults::OutgoingPort;

    if (record.incomingServerType == values::Pop3) {
        record.retrieveMethod.reset();
        if (!record.incomingPort)
            record.incomingPort = defaults::Pop3Port;
    } else {
        record.incomingServerType = values::Imap4;
        record.secureLogin.reset();
        if (!record.incomingPort)
            record.incomingPort = defaults::Imap4Port;
    }
}

ReadResult openSettingsFile(const std::filesystem::path& path, EmailSettings& record)
{
    record.clear();
    const ReadResult result = readSettingsFile(path, record);
    if (result.ok())
        applyOpenDefaults(record);
    else
        record.resetToDefaults();
    return result;
}

} // namespace mailvane::settings
