#include "EmailSettings.h"

#include "Completeness.h"

namespace mailvane::settings {

void EmailSettings::clear()
{
    *this = EmailSettings{};
}

void EmailSettings::resetToDefaults()
{
    clear();
    incomingServerType = values::Imap4;
    outgoingPort = defaults::OutgoingPort;
    incomingPort = defaults::Imap4Port;
}

bool EmailSettings::isComplete() const
{
    return missingFields(*this).empty();
}

} // namespace mailvane::settings
