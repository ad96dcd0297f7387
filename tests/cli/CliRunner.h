#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace mailvane::test {

struct CliRun
{
    int exitCode = -1; // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs the built mailvane-cli with `args` in `workingDir` and collects its
// exit status and both output streams. `stdoutPath`, when given, receives
// stdout instead (e.g. /dev/full); `stdinPath`, when given, is read as stdin
// (otherwise stdin is empty).
CliRun runCli(const std::vector<std::string>& args, const std::filesystem::path& workingDir,
              const std::filesystem::path& stdoutPath = {},
              const std::filesystem::path& stdinPath = {});

// Gives the programs a test runs a fresh HOME and settings folders under
// `home`, and no phone from the environment: no phone is configured anywhere
// unless the test configures one.
void isolateProgramSettings(const std::filesystem::path& home);

// The lines of a send log's text that end a number's push (sent, failed,
// skipped, dry): those without the "started" lines.
std::vector<std::string> loggedEndings(const std::string& logText);

} // namespace mailvane::test
