#pragma once

// Every URL the program shows (errors, progress, log lines, window boxes,
// help) passes through here first, so that a gateway password typed into a
// phone selection never reaches a screen, a log or another user's terminal.

#include <string>
#include <string_view>

namespace mailvane::phone {

// What replaces a password.
inline constexpr std::string_view RedactedPassword = "***";

// `url` (or a phone selection such as "kannel:URL", or a text that did not
// even parse as a URL) with the password of its user part and the values of
// its password= and pass= query parameters replaced by RedactedPassword. The
// user name, host, path and other parameters stay. When in doubt it hides
// more rather than less: everything between the first ':' of the user part and
// the last '@' before the query goes, so a password holding '/' or a blank
// is hidden too.
std::string redactedUrl(std::string_view url);

} // namespace mailvane::phone
