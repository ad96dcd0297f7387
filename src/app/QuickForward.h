#pragma once

// A later start hands its request to the running program straight from the
// program file, before the window's code (and Qt with it) is loaded, when it
// can tell for sure where that program listens: on X11 (QT_QPA_PLATFORM
// "xcb" or unset, no Wayland session), in XDG_RUNTIME_DIR, with at most one
// FILE and no option. Whatever it cannot settle it leaves to the window's
// code, whose SingleInstance decides everything (locks, stale sockets,
// Wayland, toolkit options, bad arguments).

#include "ProgramArguments.h"

#include <string>

namespace mailvane::app {

struct QuickForwardResult
{
    enum class Outcome
    {
        NotTried,  // no running program reached: start the window's code
        Delivered, // the running program took the request: end with success
        Refused,   // it was reached but did not take it: see `problem`
    };

    Outcome outcome = Outcome::NotTried;
    std::string problem;
};

// Hands this start's request to the running program when `arguments` ask to
// run (--help and --version are answered before, refusals are the window
// code's to say, after the toolkit took its own options).
QuickForwardResult quickForward(const ProgramArguments& arguments);

} // namespace mailvane::app
