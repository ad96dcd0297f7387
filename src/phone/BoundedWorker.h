#pragma once

// Runs blocking calls on a thread of their own so that the caller waits no
// longer than a bound. A call that overruns is asked to abort; if it does not
// come back within a grace period the worker is given up (left to finish on
// its own) and every later call fails at once, so a phone that stopped
// answering never hangs the program.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace mailvane::phone {

class BoundedWorker
{
public:
    enum class Outcome
    {
        Finished,
        TimedOut, // the call overran, was aborted and has returned
        GivenUp,  // the call overran and did not return after the abort
    };

    BoundedWorker();
    ~BoundedWorker();
    BoundedWorker(const BoundedWorker&) = delete;
    BoundedWorker& operator=(const BoundedWorker&) = delete;

    // Runs `call` on the worker and waits up to `limit`. On overrun calls
    // `abort` (from the caller's thread) and waits up to `grace` more. Whatever
    // `call` touches must stay alive even when the worker is given up: capture
    // it by shared ownership.
    Outcome run(std::function<void()> call, std::chrono::milliseconds limit,
                const std::function<void()>& abort, std::chrono::milliseconds grace);

    bool givenUp() const { return m_givenUp; }

private:
    struct Shared
    {
        std::mutex mutex;
        std::condition_variable changed;
        std::function<void()> call;
        bool pending = false;
        bool stop = false;
        unsigned long long finishedCalls = 0;
    };

    static void serve(std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> m_shared = std::make_shared<Shared>();
    std::thread m_thread;
    unsigned long long m_submittedCalls = 0;
    bool m_givenUp = false;
};

} // namespace mailvane::phone
