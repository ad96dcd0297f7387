#include "TokenTableLocator.h"

#include "ProgramLocation.h"

#include <system_error>

namespace mailvane::provisioning {
namespace {

bool isFile(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

std::optional<std::filesystem::path> locateTokenTable(const std::filesystem::path& executableDir,
                                                      const std::filesystem::path& dataDir)
{
    if (executableDir.empty() || executableDir.is_relative())
        return std::nullopt;
    // The build copies the table beside each program; an install never does.
    const std::filesystem::path beside = executableDir / TokenTableFileName;
    if (isFile(beside)) {
        if (isFile(TokenTableFileName))
            return std::filesystem::path(TokenTableFileName);
        return beside;
    }
    const std::filesystem::path installed = dataDir / TokenTableFileName;
    if (isFile(installed))
        return installed;
    return std::nullopt;
}

std::optional<std::filesystem::path> locateTokenTable(const std::filesystem::path& executableDir)
{
    return locateTokenTable(executableDir, platform::installedDataDirectory(executableDir));
}

} // namespace mailvane::provisioning
