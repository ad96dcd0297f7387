#include "CliSupport.h"

#include "Command.h"
#include "OpenSettings.h"
#include "SettingsFileReader.h"
#include "TokenTableLocator.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace mailvane::cli {

void printError(std::string_view message)
{
    std::string line(ProgramName);
    line += ": ";
    line += message;
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
}

int printOutput(std::string_view text)
{
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (std::fflush(stdout) != 0 || !written) {
        const int error = errno;
        printError("cannot write the output: " +
                   std::string(error ? std::strerror(error) : "write error"));
        return ExitFailure;
    }
    return ExitSuccess;
}

bool loadSettings(const std::filesystem::path& path, LoadMode mode, settings::EmailSettings& record)
{
    using settings::ReadStatus;
    const settings::ReadResult result = mode == LoadMode::AsOpened
                                            ? settings::openSettingsFile(path, record)
                                            : settings::readSettingsFile(path, record);
    switch (result.status) {
    case ReadStatus::Success:
        return true;
    case ReadStatus::CannotOpen:
        printError("cannot read the settings file " + path.string() + ": " +
                   std::strerror(result.systemError));
        return false;
    case ReadStatus::TooLarge:
        printError("cannot read the settings file " + path.string() + ": it is larger than " +
                   std::to_string(settings::MaxSettingsFileBytes) + " bytes");
        return false;
    case ReadStatus::Invalid:
        printError(path.string() + ": line " + std::to_string(result.line) +
                   ": the file format is invalid (" +
                   std::string(settings::describeDefect(result.defect)) + ")");
        return false;
    }
    return false;
}

std::optional<std::filesystem::path> tokenTablePath(const Arguments& arguments)
{
    if (const std::string* given = arguments.option("table"))
        return std::filesystem::path(*given);
    if (auto found = provisioning::locateTokenTable(arguments.executableDir))
        return found;
    printError(std::string("cannot find the token table ") + provisioning::TokenTableFileName +
               " in the data folder of the installation; give its path with --table");
    return std::nullopt;
}

} // namespace mailvane::cli
