#include "InstanceAddress.h"

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

} // namespace mailvane::app::instance_address
