#pragma once

// Ctrl+C (SIGINT) or SIGTERM during a batch raises a flag instead of ending
// the program, so that the pushes in flight finish and the log stays
// complete. A second signal ends the program at once, as usual.

#include <atomic>

namespace mailvane::cli {

class StopSignal
{
public:
    StopSignal();  // installs the handlers
    ~StopSignal(); // restores what was there before
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    const std::atomic<bool>& flag() const;
    bool raised() const { return flag().load(); }
    // Stops the batch as a signal would, for failures found inside it.
    void raise();
};

} // namespace mailvane::cli
