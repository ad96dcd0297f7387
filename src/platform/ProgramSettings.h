#pragma once

// Stand-in for the registry key HKEY_LOCAL_MACHINE "SOFTWARE\Orvex\Quill":
// QSettings(NativeFormat, SystemScope, "Orvex", "Quill"). On Windows that is
// the very key; on Linux the file Orvex/Quill.conf in XDG_CONFIG_DIRS
// (default /etc/xdg). A value found in neither is taken from the settings
// file the program was installed with, found relative to the program, so an
// install under /usr/local or any other prefix still reads its own settings.
// Values are only ever read.

#include <QString>

namespace mailvane::platform {

inline constexpr const char* ProgramSettingsOrganization = "Orvex";
inline constexpr const char* ProgramSettingsApplication = "Quill";

// The text of value `name` ("Resource Path", "Phone/Device", ...), or an empty
// string when the key or the value is missing.
QString readProgramSetting(const QString& name);

// The same, with the installed program's folder given (tests use it).
QString readProgramSetting(const QString& name, const QString& programDir);

} // namespace mailvane::platform
