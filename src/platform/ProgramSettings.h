#pragma once

// Stand-in for the registry key HKEY_LOCAL_MACHINE "SOFTWARE\Orvex\Quill".
// On Linux it is the INI file Orvex/Quill.conf (then Orvex.conf) in each
// folder of XDG_CONFIG_DIRS (default /etc/xdg), the file and the places the
// Qt settings store uses for the system scope, so files written by either
// stay valid. A value found in none of them is taken from the settings file
// the program was installed with, found relative to the program, so an
// install under /usr/local or any other prefix still reads its own settings.
// Values are only ever read. Plain C++: the phone back ends and mailvane-cli
// read their device here without loading Qt.

#include <filesystem>
#include <string>
#include <string_view>

namespace mailvane::platform {

inline constexpr const char* ProgramSettingsOrganization = "Orvex";
inline constexpr const char* ProgramSettingsApplication = "Quill";

// The text of value `name` ("Resource Path", "Phone/Device", ...), or an empty
// string when the key or the value is missing.
std::string readProgramSetting(std::string_view name);

// The same, with the installed program's folder given (tests use it).
std::string readProgramSetting(std::string_view name, const std::filesystem::path& programDir);

} // namespace mailvane::platform
