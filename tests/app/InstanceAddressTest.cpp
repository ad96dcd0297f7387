#include "InstanceAddress.h"

#include <gtest/gtest.h>

namespace mailvane::app::instance_address {
namespace {

// The program file and the window's code meet at these names: one display,
// one name, whatever form the display is given in; file-name safe always.
TEST(InstanceAddress, oneNamePerDisplayAndOnlySafeBytes)
{
    struct Case
    {
        const char* platform;
        const char* x11;
        const char* wayland;
        const char* expected;
    };
    const Case cases[] = {
        {"xcb", ":0", "", "xcb-_0"},
        {"xcb", ":0.0", "", "xcb-_0"},
        {"xcb", ":0.1", "wayland-1", "xcb-_0"},
        {"xcb", "localhost:10.0", "", "xcb-localhost_10"},
        {"xcb", "host.example:1", "", "xcb-host.example_1"},
        {"xcb", ":0.", "", "xcb-_0."},
        {"xcb", "/tmp/.X11-unix/X0", "", "xcb-_tmp_.X11-unix_X0"},
        {"wayland", ":0", "wayland-1", "wayland-wayland-1"},
        {"wayland-egl", "", "", "wayland-egl-wayland-0"},
        {"offscreen", ":0", "wayland-1", "offscreen-"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(displayPart(c.platform, c.x11, c.wayland), c.expected)
            << c.platform << " " << c.x11 << " " << c.wayland;

    EXPECT_EQ(basePath("/run/user/1000", "xcb-_0"), "/run/user/1000/mailvane-xcb-_0");
    EXPECT_EQ(basePath("/run/user/1000/", "xcb-_0"), "/run/user/1000/mailvane-xcb-_0");
}

} // namespace
} // namespace mailvane::app::instance_address
