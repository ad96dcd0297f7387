#pragma once

#include <filesystem>
#include <optional>

namespace mailvane::provisioning {

inline constexpr const char* TokenTableFileName = "table.dat";

// Where the token table file is. An installed program reads it only from its
// own data folder (seen from the program, so any prefix and an unpacked
// package work): a stray or planted "table.dat" in the current folder would
// change what is sent. A program in the build tree, which keeps a copy
// beside each program, takes "table.dat" from the current folder first, then
// the copy beside it. Nothing when none exists, or when the program's folder
// is not known (empty or relative), since every place is then a guess.
std::optional<std::filesystem::path> locateTokenTable(const std::filesystem::path& executableDir);

// The same search with the installed data folder given.
std::optional<std::filesystem::path> locateTokenTable(const std::filesystem::path& executableDir,
                                                      const std::filesystem::path& dataDir);

} // namespace mailvane::provisioning
