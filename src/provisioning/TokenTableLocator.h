#pragma once

#include <filesystem>
#include <optional>

namespace mailvane::provisioning {

inline constexpr const char* TokenTableFileName = "table.dat";

// Where the token table file is: "table.dat" in the current directory first,
// then in the installed data directory, then in the data directory of an
// install seen from the program (any prefix, an unpacked package), then beside
// the executable (the build tree), so that a program started from a desktop
// menu still finds it. Nothing when none exists.
std::optional<std::filesystem::path> locateTokenTable(const std::filesystem::path& executableDir);

// The same search with the data directory given (the installed one is the
// build's MAILVANE_DATA_DIR).
std::optional<std::filesystem::path> locateTokenTable(const std::filesystem::path& executableDir,
                                                      const std::filesystem::path& dataDir);

} // namespace mailvane::provisioning
