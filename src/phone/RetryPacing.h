#pragma once

// How long a batch waits before trying a message again, and how it keeps to
// a gateway account's rate. Both are plain arithmetic on times given to them,
// so that their sequences can be checked without waiting.

#include <chrono>
#include <mutex>
#include <optional>

namespace mailvane::phone {

inline constexpr std::chrono::milliseconds FirstRetryDelay{500};
inline constexpr std::chrono::milliseconds MaxRetryDelay{30'000};
// A gateway asking for more than this is treated as down rather than waited for.
inline constexpr std::chrono::seconds MaxRetryAfter{300};
inline constexpr unsigned DefaultRetries = 5;

// The wait before try `retry` + 1 of a message (retry counts from 1): an
// exponential step from FirstRetryDelay, doubled each time up to
// MaxRetryDelay, of which `jitter` (0 to 1) decides where between half and all
// of it, so that jobs refused together do not come back together. A gateway's
// Retry-After (up to MaxRetryAfter) is waited for at least.
std::chrono::milliseconds retryDelay(unsigned retry, std::optional<std::chrono::seconds> retryAfter,
                                     double jitter);

// At most `perSecond` messages a second across every thread that asks, one at
// a time, without bursts: each message is given the next free slot.
class TokenBucket
{
public:
    using Clock = std::chrono::steady_clock;

    explicit TokenBucket(double perSecond);

    // Takes the next slot; returns how long after `now` the message may go.
    Clock::duration take(Clock::time_point now);

private:
    std::mutex m_mutex;
    Clock::duration m_interval;
    std::optional<Clock::time_point> m_nextSlot;
};

} // namespace mailvane::phone
