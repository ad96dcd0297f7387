#pragma once

// Where the running program of one user's session on one display keeps its
// lock and listens for later starts. Free of Qt, so that the program file
// can reach a running program before it loads the window's code; the window's
// code (SingleInstance) names the same places through these functions.

#include <string>
#include <string_view>

namespace mailvane::app::instance_address {

inline constexpr std::string_view LockSuffix = ".lock";
inline constexpr std::string_view SocketSuffix = ".socket";

// The display as a file-name part, "<platform>-<display>": for "xcb" the X
// display without its screen number (":0.0" and ":0" are one display), for a
// Wayland platform its socket ("wayland-0" when none is named), for others
// the platform alone. Every byte but A-Z, a-z, 0-9, "_", "." and "-" becomes "_".
std::string displayPart(std::string_view platform, std::string_view x11Display,
                        std::string_view waylandDisplay);

// The runtime folder a lock and socket may live in: `named` (XDG_RUNTIME_DIR)
// when it is an absolute path to a folder of this user's that no one else may
// enter (mode 0700). Otherwise path is empty, and problem says why when a
// folder was named: a folder another user owns or may enter could hold a
// socket of theirs, which a later start would hand a file name to.
struct RuntimeFolder
{
    std::string path;
    std::string problem;
};
RuntimeFolder privateRuntimeFolder(std::string_view named);

// Whether the peer of the connected local socket `fd` runs as this user.
bool peerIsThisUser(int fd);

// The lock and the socket are this with LockSuffix and SocketSuffix.
std::string basePath(std::string_view runtimeFolder, std::string_view displayPart);

} // namespace mailvane::app::instance_address
