#include "PhoneConfiguration.h"

#include "ProgramSettings.h"

#include <cstdlib>

namespace mailvane::phone {

std::string configuredPhoneSelection(const std::optional<std::string>& commandLine)
{
    if (commandLine)
        return *commandLine;
    if (const char* environment = std::getenv(PhoneEnvironmentVariable))
        return environment;
    return platform::readProgramSetting(PhoneSettingName);
}

} // namespace mailvane::phone
