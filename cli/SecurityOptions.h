#pragma once

// The options that key a push, shared by send and encode: --security, --pin
// and --imsi for one push, and the checks that they fit together.

#include "Command.h"
#include "PushSecurity.h"

#include <optional>
#include <string_view>

namespace mailvane::cli {

inline constexpr OptionInfo SecurityOption = {
    "security", "METHOD", false,
    "how the phone checks the push: userpin (the PIN its user types; default), netwpin "
    "(the SIM's IMSI) or usernetwpin (both)"};
inline constexpr OptionInfo PinOption = {
    "pin", "PIN", false, "the PIN code the phone asks for (1 to 10 digits); not with netwpin"};
inline constexpr OptionInfo ImsiOption = {
    "imsi", "IMSI", false, "the SIM's IMSI (6 to 15 digits) for netwpin and usernetwpin"};

// The method of --security (userpin without it); nothing, after the usage
// error for `command`, when the name is unknown.
std::optional<provisioning::SecurityMethod> securityMethod(const Arguments& arguments,
                                                           std::string_view command);

// Whether --pin fits `method` (and, when `pinRequired`, is given) and is a
// PIN; prints the usage error for `command` when not.
bool checkPinOption(const Arguments& arguments, provisioning::SecurityMethod method,
                    bool pinRequired, std::string_view command);

// The key of one push from --pin and --imsi; nothing, after the usage error,
// when they do not fit `method`.
std::optional<provisioning::PushSecurity> singlePushSecurity(const Arguments& arguments,
                                                             provisioning::SecurityMethod method,
                                                             std::string_view command);

// The usage error of `command` with its help hint; returns ExitUsage.
int commandUsageError(std::string_view command, const std::string& message);

} // namespace mailvane::cli
