#include "SecurityOptions.h"

#include "CliSupport.h"

#include <string>

namespace mailvane::cli {

using provisioning::SecurityMethod;

int commandUsageError(std::string_view command, const std::string& message)
{
    printError(message);
    printError("try 'mailvane-cli " + std::string(command) + " --help' for more information");
    return ExitUsage;
}

std::optional<SecurityMethod> securityMethod(const Arguments& arguments, std::string_view command)
{
    const std::string* given = arguments.option("security");
    if (!given)
        return SecurityMethod::UserPin;
    if (auto method = provisioning::parseSecurityMethod(*given))
        return method;
    commandUsageError(command, "unknown security method '" + *given +
                                   "'; use userpin, netwpin or usernetwpin");
    return std::nullopt;
}

bool checkPinOption(const Arguments& arguments, SecurityMethod method, bool pinRequired,
                    std::string_view command)
{
    const std::string* pin = arguments.option("pin");
    const std::string name(provisioning::securityMethodName(method));
    if (pin && !provisioning::usesPin(method)) {
        commandUsageError(command, name + " keys the push with the SIM's IMSI alone: the phone "
                                          "asks for no PIN, so --pin has no place");
        return false;
    }
    if (!pin && pinRequired && provisioning::usesPin(method)) {
        commandUsageError(command, name + " needs the PIN the phone will ask for: give --pin");
        return false;
    }
    if (pin && !provisioning::isPin(*pin)) {
        commandUsageError(command, "--pin: " + provisioning::pinDefect(*pin));
        return false;
    }
    return true;
}

std::optional<provisioning::PushSecurity>
singlePushSecurity(const Arguments& arguments, SecurityMethod method, std::string_view command)
{
    if (!checkPinOption(arguments, method, true, command))
        return std::nullopt;
    const std::string pin = arguments.option("pin") ? *arguments.option("pin") : std::string();
    const std::string* imsi = arguments.option("imsi");
    const std::string name(provisioning::securityMethodName(method));
    if (!provisioning::usesImsi(method)) {
        if (imsi) {
            commandUsageError(command, "--imsi keys the push only with --security netwpin or "
                                       "usernetwpin");
            return std::nullopt;
        }
        return provisioning::userPinSecurity(pin);
    }
    if (!imsi) {
        commandUsageError(command, name + " keys the push with the SIM's IMSI: give --imsi");
        return std::nullopt;
    }
    const auto security = method == SecurityMethod::NetworkPin
                              ? provisioning::networkPinSecurity(*imsi)
                              : provisioning::userNetworkPinSecurity(*imsi, pin);
    if (!security)
        commandUsageError(command, "the IMSI '" + *imsi + "' is not " +
                                       std::to_string(provisioning::MinImsiDigits) + " to " +
                                       std::to_string(provisioning::MaxImsiDigits) + " digits");
    return security;
}

} // namespace mailvane::cli
