#include "InstanceAddress.h"

#include <cstdio>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mailvane::app::instance_address {

std::string displayPart(std::string_view platform, std::string_view x11Display,
                        std::string_view waylandDisplay)
{
    std::string display;
    if (platform == "xcb") {
        display = x11Display;
        // The screen number: "." and digits at the end.
        const std::size_t dot = display.find_last_of('.');
        if (dot != std::string::npos && dot + 1 < display.size() &&
            display.find_first_not_of("0123456789", dot + 1) == std::string::npos)
            display.erase(dot);
    } else if (platform.starts_with("wayland")) {
        display = waylandDisplay.empty() ? std::string_view("wayland-0") : waylandDisplay;
    }
    std::string name = std::string(platform) + '-' + display;
    for (char& c : name) {
        const bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                          (c >= '0' && c <= '9') || c == '_' || c == '.' || c == '-';
        if (!kept)
            c = '_';
    }
    return name;
}

std::string basePath(std::string_view runtimeFolder, std::string_view displayPart)
{
    std::string path(runtimeFolder);
    if (path.empty() || path.back() != '/')
        path += '/';
    return path + "mailvane-" + std::string(displayPart);
}

RuntimeFolder privateRuntimeFolder(std::string_view named)
{
    if (named.empty())
        return {};
    const std::string path(named);
    const auto unfit = [&path](const std::string& why) {
        return RuntimeFolder{{},
                             "the runtime folder " + path + " " + why +
                                 ", so this start neither takes the single-instance lock "
                                 "nor hands files to a running one"};
    };
    if (path.front() != '/')
        return unfit("is not an absolute path");
    struct stat info = {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return unfit("is not a folder");
    if (info.st_uid != ::geteuid())
        return unfit("belongs to another user");
    if ((info.st_mode & 07777) != 0700) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        return unfit(std::string("has mode ") + mode + " instead of 0700");
    }
    return {path, {}};
}

bool peerIsThisUser(int fd)
{
    ucred peer = {};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer &&
           peer.uid == ::geteuid();
}

} // namespace mailvane::app::instance_address
