#include "WaylandSeat.h"

#include <cstdlib>
#include <cstring>
#include <wayland-client.h>

namespace mailvane::app {
namespace {

std::string_view environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string_view(value) : std::string_view();
}

void onGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t)
{
    if (std::strcmp(interface, wl_seat_interface.name) == 0)
        *static_cast<bool*>(data) = true;
}

void onGlobalRemoved(void*, wl_registry*, uint32_t) {}

constexpr wl_registry_listener RegistryListener = {onGlobal, onGlobalRemoved};

} // namespace

bool mayUseWaylandInputContext(std::string_view platform, std::string_view waylandDisplay,
                               std::string_view inputMethod)
{
    if (!inputMethod.empty() && inputMethod != "wayland")
        return false;
    // Unset, Qt goes to Wayland where a compositor is named; a list of
    // platforms may fall back to it.
    if (platform.empty())
        return !waylandDisplay.empty();
    return platform.find("wayland") != std::string_view::npos;
}

std::optional<bool> waylandCompositorHasSeat()
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return std::nullopt;
    bool seat = false;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &RegistryListener, &seat);
    // One round trip: the compositor announces its globals before it answers.
    const bool answered = wl_display_roundtrip(display) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    if (!answered)
        return std::nullopt;
    return seat;
}

void keepInputMethodFromSeatlessCompositor()
{
    if (!mayUseWaylandInputContext(environment("QT_QPA_PLATFORM"), environment("WAYLAND_DISPLAY"),
                                   environment("QT_IM_MODULE")))
        return;
    if (waylandCompositorHasSeat() == false)
        setenv("QT_IM_MODULE", "none", 1);
}

} // namespace mailvane::app
