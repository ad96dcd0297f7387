#pragma once

// Where the running program file lies, and the places an installed program
// keeps its data and settings, seen from there. An install under any prefix,
// or an unpacked package, keeps these relative places, so the program finds
// its own files without help from the environment.

#include <filesystem>

namespace mailvane::platform {

// The folder of the running program file, an absolute path; empty when
// /proc/self/exe cannot be read. Never the current folder: a program started
// from a folder someone else controls must not take code or data from there.
std::filesystem::path programDirectory();

// Why programDirectory() is empty, for a message.
inline constexpr const char* ProgramDirectoryUnknown =
    "cannot tell where the program file lies: /proc/self/exe cannot be read";

// The folders below are empty when `programDir` is not an absolute path.

// The data folder (token table, skin) of an installed program in `programDir`.
std::filesystem::path installedDataDirectory(const std::filesystem::path& programDir);

// The folder of the program settings file of an installed program in `programDir`.
std::filesystem::path installedConfigDirectory(const std::filesystem::path& programDir);

// The folder of the modules a program in `programDir` loads when it needs
// them (the window's code); the build tree keeps the same relative place.
std::filesystem::path installedModuleDirectory(const std::filesystem::path& programDir);

} // namespace mailvane::platform
