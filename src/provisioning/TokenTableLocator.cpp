#include "TokenTableLocator.h"

#include "ProgramLocation.h"

#include <system_error>

namespace mailvane::provisioning {

std::optional<std::filesystem::path> locateTokenTable(const std::filesystem::path& executableDir,
                                                      const std::filesystem::path& dataDir)
{
    const std::filesystem::path candidates[] = {
        std::filesystem::path(TokenTableFileName),
        dataDir / TokenTableFileName,
        platform::installedDataDirectory(executableDir) / TokenTableFileName,
        executableDir / TokenTableFileName,
    };
    for (const auto& candidate : candidates) {
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error))
            return candidate;
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> locateTokenTable(const std::filesystem::path& executableDir)
{
    return locateTokenTable(executableDir, MAILVANE_DATA_DIR);
}

} // namespace mailvane::provisioning
