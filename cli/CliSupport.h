#pragma once

// What the subcommands share: messages for people on stderr, output on
// stdout, and loading a settings file with an error message on failure.

#include "EmailSettings.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace mailvane::cli {

// "mailvane-cli: MESSAGE" on stderr.
void printError(std::string_view message);

// Writes `text` to stdout; on a write error (full disk, closed pipe) says so
// on stderr. Returns the exit status.
int printOutput(std::string_view text);

enum class LoadMode
{
    AsWritten, // the file's fields only, as `check` shows them
    AsOpened,  // with the defaults the window fills in after File > Open
};

// Reads `path` into `record`; on failure prints one line naming the file (and
// the line that made it invalid) and returns false.
struct Arguments;

// The token table --table names, or the one found where the programs look
// for it; nothing (after saying so) when there is none.
std::optional<std::filesystem::path> tokenTablePath(const Arguments& arguments);

bool loadSettings(const std::filesystem::path& path, LoadMode mode,
                  settings::EmailSettings& record);

} // namespace mailvane::cli
