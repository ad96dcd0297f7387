#pragma once

// Ctrl+C (SIGINT) or SIGTERM during a batch: the first raises a flag instead
// of ending the program, so that the pushes in flight finish and the log
// stays complete; the second ends the program at once with ExitInterrupted
// (its log then holds "started" lines for the pushes cut off).
//
// The signals are taken by a thread of their own rather than a handler, so
// that what is said about them may be said at once and in full. Construct it
// before starting the threads of the batch: they inherit the blocked signals.

#include <atomic>
#include <functional>
#include <thread>

#include <csignal>

namespace mailvane::cli {

class StopSignal
{
public:
    // `onFirst` and `onSecond` are called on the signal thread, to say what
    // happens; after `onSecond` the program ends.
    StopSignal(std::function<void()> onFirst = {}, std::function<void()> onSecond = {});
    ~StopSignal(); // unblocks the signals again
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    const std::atomic<bool>& flag() const { return m_flag; }
    bool raised() const { return m_flag.load(); }

private:
    void watch(std::function<void()> onFirst, std::function<void()> onSecond);

    std::atomic<bool> m_flag{false};
    std::atomic<bool> m_done{false};
    sigset_t m_previousMask{};
    std::thread m_thread;
};

} // namespace mailvane::cli
