#pragma once

// The send subcommand, and what the contacts subcommand borrows from it:
// choosing the phone back end.

#include "Command.h"
#include "PhoneBackEnd.h"

#include <optional>

namespace mailvane::cli {

// The back end named by --phone, MAILVANE_PHONE or the program settings
// store. On failure prints why and sets `status` to the exit status to end
// with.
std::optional<phone::PhoneSelection> choosePhone(const Arguments& arguments, int& status);

inline constexpr OptionInfo PhoneOption = {
    "phone", "PHONE", false,
    "the phone: gammu, gammu:SECTION, gammu:DEVICE, sim:DIR, kannel:URL (a Kannel "
    "gateway's sendsms URL) or none (default: "
    "MAILVANE_PHONE, then Phone/Device of the program settings, then gammu when a "
    "Gammu configuration exists)"};

} // namespace mailvane::cli
