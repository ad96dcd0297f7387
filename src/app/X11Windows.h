#pragma once

// The X11 side of the single-instance rule: a running instance is a
// top-level window whose text is exactly the main window's title.

#include <QByteArray>
#include <optional>

namespace mailvane::app {

// Most characters of a window's text that are compared.
inline constexpr int WindowTextLimit = 255;

// Whether the program runs on X11 with a connection to ask.
bool hasX11Connection();

// X11 through xcb: the first top-level window, topmost first, whose text
// (_NET_WM_NAME, else WM_NAME, at most 255 bytes) equals `title` byte for
// byte; nothing when there is none or no X connection.
std::optional<unsigned> findX11Window(const QByteArray& title);

// Brings an X11 window forward: a _NET_ACTIVE_WINDOW request where the
// window manager supports it, else raising it and giving it the focus.
void activateX11Window(unsigned window);

} // namespace mailvane::app
