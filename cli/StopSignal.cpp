#include "StopSignal.h"

#include <csignal>

namespace mailvane::cli {
namespace {

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

struct sigaction previousInterrupt;
struct sigaction previousTerminate;

extern "C" void onStopSignal(int)
{
    stopRequested.store(true);
}

} // namespace

StopSignal::StopSignal()
{
    stopRequested.store(false);
    struct sigaction action = {};
    action.sa_handler = &onStopSignal;
    sigemptyset(&action.sa_mask);
    // The first signal asks for a clean stop; the handler then reverts to the
    // default so that a second one ends the program.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, &previousInterrupt);
    sigaction(SIGTERM, &action, &previousTerminate);
}

StopSignal::~StopSignal()
{
    sigaction(SIGINT, &previousInterrupt, nullptr);
    sigaction(SIGTERM, &previousTerminate, nullptr);
}

void StopSignal::raise()
{
    stopRequested.store(true);
}

const std::atomic<bool>& StopSignal::flag() const
{
    return stopRequested;
}

} // namespace mailvane::cli
