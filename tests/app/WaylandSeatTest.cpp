#include "WaylandSeat.h"

#include <gtest/gtest.h>

namespace mailvane::app {
namespace {

// Only a start that may end up on Wayland with Qt's own input context asks the
// compositor for a seat; an X11 start never pays for the question.
TEST(WaylandSeat, onlyAStartThatMayUseQtsWaylandInputContextAsks)
{
    struct Case
    {
        const char* platform;
        const char* waylandDisplay;
        const char* inputMethod;
        bool expected;
    };
    const Case cases[] = {
        {"", "", "", false},
        {"", "wayland-0", "", true},
        {"wayland", "", "", true},
        {"wayland-egl", "wayland-1", "", true},
        {"xcb;wayland", "wayland-0", "", true},
        {"xcb", "wayland-0", "", false},
        {"offscreen", "wayland-0", "", false},
        {"wayland", "wayland-0", "wayland", true},
        {"wayland", "wayland-0", "ibus", false},
        {"wayland", "wayland-0", "none", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mayUseWaylandInputContext(c.platform, c.waylandDisplay, c.inputMethod),
                  c.expected)
            << '"' << c.platform << "\" \"" << c.waylandDisplay << "\" \"" << c.inputMethod << '"';
}

} // namespace
} // namespace mailvane::app
