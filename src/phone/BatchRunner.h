#pragma once

// Sends one push to each number of a list through a PushSender, with up to
// `jobs` numbers in flight. Stops starting new numbers at the first failure
// (unless told to keep going), after too many pushes in a row failed for the
// gateway's sake, or when the stop flag is raised; pushes
// already started always finish, so every number ends sent or failed, never
// half-reported.

#include "PushSender.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace mailvane::phone {

struct BatchOptions
{
    unsigned jobs = 1; // at most the sender's maxJobs()
    bool keepGoing = false;
    const std::atomic<bool>* stop = nullptr; // raised from outside, e.g. on Ctrl+C
    // This many pushes failed in a row for the gateway's sake end the batch even
    // when going on; 0 never does.
    unsigned stopAfter = 0;
};

// Called one at a time (never concurrently), from whichever thread sent.
struct BatchEvents
{
    // Before a push's first message; false keeps it from going (it and the
    // rest are left not started), for a caller that cannot record it.
    std::function<bool(const PushTicket&)> starting;
    std::function<void(const PushTicket&, const PushOutcome&)> finished;
};

struct BatchSummary
{
    std::size_t sent = 0;
    std::size_t failed = 0;
    std::size_t notStarted = 0;
    bool stopped = false;     // the stop flag ended the batch early
    bool gatewayDown = false; // stopAfter pushes in a row failed for the gateway

    bool allSent(std::size_t total) const { return total > 0 && sent == total; }
};

BatchSummary runBatch(PushSender& sender, const std::vector<std::string>& numbers,
                      const BatchOptions& options, const BatchEvents& events = {});

} // namespace mailvane::phone
