#include "StopSignal.h"

#include "BatchSend.h"

#include <cstdio>
#include <pthread.h>
#include <unistd.h>

namespace mailvane::cli {
namespace {

// How soon the signal thread notices that the batch is over.
constexpr long WatchIntervalNanoseconds = 100'000'000;

sigset_t stopSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

} // namespace

StopSignal::StopSignal(std::function<void()> onFirst, std::function<void()> onSecond)
{
    const sigset_t signals = stopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, &m_previousMask);
    m_thread = std::thread(&StopSignal::watch, this, std::move(onFirst), std::move(onSecond));
}

StopSignal::~StopSignal()
{
    m_done.store(true);
    m_thread.join();
    pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
}

void StopSignal::watch(std::function<void()> onFirst, std::function<void()> onSecond)
{
    const sigset_t signals = stopSignals();
    const timespec interval{0, WatchIntervalNanoseconds};
    while (!m_done.load()) {
        if (sigtimedwait(&signals, nullptr, &interval) < 0)
            continue;
        if (!m_flag.exchange(true)) {
            if (onFirst)
                onFirst();
            continue;
        }
        if (onSecond)
            onSecond();
        std::fflush(stderr);
        // The log is written line by line straight to the file: nothing to flush.
        _exit(ExitInterrupted);
    }
}

} // namespace mailvane::cli
