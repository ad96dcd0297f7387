#pragma once

// Runs one blocking call (a send, reading the contacts) on a worker thread
// while the user-interface thread keeps its event loop turning, so windows
// repaint and the wait dialog shows progress. User input is kept out by the
// application-modal wait dialog the caller shows around it. The call's own
// time limits (those of the phone back end) apply unchanged.

#include <functional>

namespace mailvane::send {

// Returns when `call` has returned. `call` runs on another thread: whatever
// it touches must not be used by the user-interface thread meanwhile, and
// anything it reports back must be posted (QMetaObject::invokeMethod with a
// context object).
void runBlockingCall(const std::function<void()>& call);

} // namespace mailvane::send
