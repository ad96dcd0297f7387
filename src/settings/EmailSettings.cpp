#include "EmailSettings.h"

namespace mailvane::settings {
namespace {

// Rules 3.1 to 3.3 of the completeness test for one direction.
bool isGroupComplete(const ConnectionSettings& group)
{
    if (group.proxies == values::Yes) {
        if (isNonEmpty(group.primaryProxyPort) && !isNonEmpty(group.primaryProxy))
            return false;
        if (isNonEmpty(group.secondaryProxyPort) && !isNonEmpty(group.secondaryProxy))
            return false;
        if ((isNonEmpty(group.primaryProxy) || isNonEmpty(group.secondaryProxy)) &&
            !group.dataBearer.has_value())
            return false;
    }
    if (group.dataBearer.has_value()) {
        const bool gprs = *group.dataBearer == values::Gprs;
        if (gprs && !isNonEmpty(group.gprsAccessPoint))
            return false;
        if (!gprs && !isNonEmpty(group.gsmDialUpNumber))
            return false;
        if ((isNonEmpty(group.bearerUsername) || isNonEmpty(group.bearerPassword)) &&
            !group.bearerAuthenticationType.has_value())
            return false;
    }
    return true;
}

} // namespace

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
    if (isNonEmpty(incomingPort) && !isNonEmpty(incomingServer))
        return false;
    if (isNonEmpty(outgoingPort) && !isNonEmpty(outgoingServer))
        return false;
    return isGroupComplete(outgoing) && isGroupComplete(incoming);
}

} // namespace mailvane::settings
