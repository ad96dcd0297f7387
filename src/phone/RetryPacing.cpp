#include "RetryPacing.h"

#include <algorithm>

namespace mailvane::phone {

std::chrono::milliseconds retryDelay(unsigned retry, std::optional<std::chrono::seconds> retryAfter,
                                     double jitter)
{
    using std::chrono::milliseconds;
    milliseconds step = FirstRetryDelay;
    for (unsigned i = 1; i < retry && step < MaxRetryDelay; ++i)
        step *= 2;
    step = std::min(step, MaxRetryDelay);
    jitter = std::clamp(jitter, 0.0, 1.0);
    milliseconds delay = step / 2 + milliseconds(static_cast<long long>(
                                        static_cast<double>(step.count()) / 2 * jitter));
    if (retryAfter)
        delay = std::max<milliseconds>(delay, std::min(*retryAfter, MaxRetryAfter));
    return delay;
}

TokenBucket::TokenBucket(double perSecond)
    : m_interval(std::chrono::duration_cast<Clock::duration>(
          std::chrono::duration<double>(1.0 / perSecond)))
{}

TokenBucket::Clock::duration TokenBucket::take(Clock::time_point now)
{
    const std::lock_guard lock(m_mutex);
    // An idle spell earns no burst: the next slot is never before now.
    const Clock::time_point slot = m_nextSlot ? std::max(*m_nextSlot, now) : now;
    m_nextSlot = slot + m_interval;
    return slot - now;
}

} // namespace mailvane::phone
