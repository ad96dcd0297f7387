#pragma once

// Whether the platform can change a top-level window's opacity right now:
// always on Windows and macOS, on X11 only while a compositing manager runs
// (it owns the _NET_WM_CM_S0 selection), never on the offscreen platform or
// elsewhere.

namespace mailvane::widgets {

class WindowOpacitySupport
{
public:
    static bool available();
};

} // namespace mailvane::widgets
