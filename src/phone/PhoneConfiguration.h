#pragma once

// Where the phone back end is configured, strongest first: the command line,
// the environment variable MAILVANE_PHONE, the value "Phone/Device" of the
// program settings store. An empty result means nothing is configured.

#include <optional>
#include <string>

namespace mailvane::phone {

inline constexpr const char* PhoneEnvironmentVariable = "MAILVANE_PHONE";
inline constexpr const char* PhoneSettingName = "Phone/Device";
// The HTTP proxy to a Kannel gateway, unless the command line names one.
inline constexpr const char* ProxySettingName = "Phone/Proxy";

std::string configuredPhoneSelection(const std::optional<std::string>& commandLine = std::nullopt);

} // namespace mailvane::phone
