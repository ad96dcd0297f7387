#include "BatchRunner.h"

#include <algorithm>
#include <mutex>
#include <thread>

namespace mailvane::phone {

BatchSummary runBatch(PushSender& sender, const std::vector<std::string>& numbers,
                      const BatchOptions& options, const BatchEvents& events)
{
    std::mutex mutex;
    std::size_t next = 0;
    bool halted = false;
    unsigned gatewayFailuresInARow = 0;
    BatchSummary summary;

    const auto stopRequested = [&] {
        return options.stop && options.stop->load(std::memory_order_relaxed);
    };
    const auto work = [&] {
        for (;;) {
            PushTicket ticket;
            {
                const std::lock_guard lock(mutex);
                if (next >= numbers.size() || halted)
                    return;
                if (stopRequested()) {
                    summary.stopped = true;
                    return;
                }
                ticket.index = next;
                ticket.number = numbers[ticket.index];
                if (events.starting && !events.starting(ticket)) {
                    halted = true;
                    return;
                }
                ++next;
                sender.prepare(ticket);
            }
            const PushOutcome outcome = sender.send(ticket);
            const std::lock_guard lock(mutex);
            ++(outcome.sent ? summary.sent : summary.failed);
            if (!outcome.sent && !options.keepGoing)
                halted = true;
            gatewayFailuresInARow = outcome.gatewayCause ? gatewayFailuresInARow + 1 : 0;
            if (options.stopAfter > 0 && gatewayFailuresInARow >= options.stopAfter) {
                halted = true;
                summary.gatewayDown = true;
            }
            if (events.finished)
                events.finished(ticket, outcome);
        }
    };

    const std::size_t jobs = std::min<std::size_t>(
        {std::max(options.jobs, 1u), std::max(sender.maxJobs(), 1u), numbers.size()});
    std::vector<std::jthread> helpers;
    for (std::size_t i = 1; i < jobs; ++i)
        helpers.emplace_back(work);
    if (!numbers.empty())
        work();
    helpers.clear(); // joins
    summary.notStarted = numbers.size() - next;
    return summary;
}

} // namespace mailvane::phone
