#pragma once

// Stand-in for the registry key HKEY_LOCAL_MACHINE "SOFTWARE\Orvex\Quill":
// QSettings(NativeFormat, SystemScope, "Orvex", "Quill"). On Windows that is
// the very key; on Linux the file Orvex/Quill.conf in XDG_CONFIG_DIRS
// (default /etc/xdg). Values are only ever read.

#include <QString>

namespace mailvane::platform {

inline constexpr const char* ProgramSettingsOrganization = "Orvex";
inline constexpr const char* ProgramSettingsApplication = "Quill";

// The text of value `name` ("Resource Path", "Phone/Device", ...), or an empty
// string when the key or the value is missing.
QString readProgramSetting(const QString& name);

} // namespace mailvane::platform
