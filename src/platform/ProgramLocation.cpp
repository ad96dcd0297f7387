#include "ProgramLocation.h"

#include <system_error>

namespace mailvane::platform {

std::filesystem::path programDirectory()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : self.parent_path();
}

std::filesystem::path installedDataDirectory(const std::filesystem::path& programDir)
{
    return (programDir / MAILVANE_DATA_FROM_PROGRAM).lexically_normal();
}

std::filesystem::path installedConfigDirectory(const std::filesystem::path& programDir)
{
    return (programDir / MAILVANE_CONFIG_FROM_PROGRAM).lexically_normal();
}

std::filesystem::path installedModuleDirectory(const std::filesystem::path& programDir)
{
    return (programDir / MAILVANE_MODULES_FROM_PROGRAM).lexically_normal();
}

} // namespace mailvane::platform
