#pragma once

// Where the running program file lies, and the places an installed program
// keeps its data and settings, seen from there. An install under any prefix,
// or an unpacked package, keeps these relative places, so the program finds
// its own files without help from the environment.

#include <filesystem>

namespace mailvane::platform {

// The folder of the running program file; empty when it cannot be told.
std::filesystem::path programDirectory();

// The data folder (token table, skin) of an installed program in `programDir`.
std::filesystem::path installedDataDirectory(const std::filesystem::path& programDir);

// The folder of the program settings file of an installed program in `programDir`.
std::filesystem::path installedConfigDirectory(const std::filesystem::path& programDir);

// The folder of the modules a program in `programDir` loads when it needs
// them (the window's code); the build tree keeps the same relative place.
std::filesystem::path installedModuleDirectory(const std::filesystem::path& programDir);

} // namespace mailvane::platform
