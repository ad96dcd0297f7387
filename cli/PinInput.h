#pragma once

// The routes by which a PIN reaches send and encode without showing on the
// command line, where every local user can read it (ps, /proc/PID/cmdline):
// --pin-file FILE, the environment variable MAILVANE_PIN, and "--pin -" for a
// line read from standard input. Each ends up as the value of --pin, so that
// one PIN check judges them all.

#include "Command.h"

#include <optional>
#include <string_view>

namespace mailvane::cli {

inline constexpr OptionInfo PinFileOption = {
    "pin-file", "FILE", false,
    "read the PIN from the first line of FILE, which only its owner may read or change"};
inline constexpr const char* PinEnvironmentVariable = "MAILVANE_PIN";
// More than any PIN; what a PIN file or line holds beyond it is refused.
inline constexpr std::size_t MaxPinInputBytes = 256;

// Replaces --pin-file FILE and "--pin -" by --pin with the PIN read, or adds
// --pin from MAILVANE_PIN when neither option gives one and the security
// method uses a PIN. Nothing on success; else the exit status, after one
// message on stderr that never shows the PIN.
std::optional<int> takePinInput(Arguments& arguments, std::string_view command);

} // namespace mailvane::cli
