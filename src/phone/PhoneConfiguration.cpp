#include "PhoneConfiguration.h"

#include "PhoneModule.h"

#include <cstdlib>

namespace mailvane::phone {

std::string configuredPhoneSelection(const std::optional<std::string>& commandLine)
{
    if (commandLine)
        return *commandLine;
    if (const char* environment = std::getenv(PhoneEnvironmentVariable))
        return environment;
    // The settings store is read in the back ends' module: it needs Qt.
    const PhoneModuleFunctions* module = phoneModule();
    return module ? module->configuredDevice() : std::string();
}

} // namespace mailvane::phone
