#pragma once

// Qt's Wayland input context asks the seat's text input for the typing
// direction whenever an empty field with the keyboard focus draws its cursor,
// and dereferences a seat that a compositor without one (a headless compositor,
// a kiosk with nothing plugged in) never announced. Without a seat no input
// method can reach the window anyway, so the window then starts without one.

#include <optional>
#include <string_view>

namespace mailvane::app {

// Whether Qt may start on Wayland with its own input context, given
// QT_QPA_PLATFORM, WAYLAND_DISPLAY and QT_IM_MODULE as the environment holds
// them (empty when unset). Another platform named outright, or another input
// method chosen, keeps Qt's Wayland input context out.
bool mayUseWaylandInputContext(std::string_view platform, std::string_view waylandDisplay,
                               std::string_view inputMethod);

// Whether the compositor the environment names announces a wl_seat; nothing
// when no compositor answers (Qt will then say what is wrong).
std::optional<bool> waylandCompositorHasSeat();

// Before the application object exists: sets QT_IM_MODULE to "none" when Qt
// would use its Wayland input context with a compositor that has no seat.
void keepInputMethodFromSeatlessCompositor();

} // namespace mailvane::app
