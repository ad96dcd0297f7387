#include "ProgramLocation.h"

#include <system_error>

namespace mailvane::platform {

std::filesystem::path programDirectory()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error || !self.is_absolute() ? std::filesystem::path() : self.parent_path();
}

namespace {

std::filesystem::path below(const std::filesystem::path& programDir, const char* relative)
{
    if (!programDir.is_absolute())
        return {};
    return (programDir / relative).lexically_normal();
}

} // namespace

std::filesystem::path installedDataDirectory(const std::filesystem::path& programDir)
{
    return below(programDir, MAILVANE_DATA_FROM_PROGRAM);
}

std::filesystem::path installedConfigDirectory(const std::filesystem::path& programDir)
{
    return below(programDir, MAILVANE_CONFIG_FROM_PROGRAM);
}

std::filesystem::path installedModuleDirectory(const std::filesystem::path& programDir)
{
    return below(programDir, MAILVANE_MODULES_FROM_PROGRAM);
}

} // namespace mailvane::platform
