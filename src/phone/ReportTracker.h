#pragma once

// Where each push of a batch stands by the reports of its messages. A report
// may arrive before the gateway has answered for the push's last message: it
// is kept, and the push shows its state only once it counts as sent, so that
// a log never has a report line before the number's sent line.
//
// Not thread-safe: the batch calls it from its senders and from the report
// listener under one lock.

#include "DeliveryReport.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace mailvane::phone {

class ReportTracker
{
public:
    explicit ReportTracker(std::size_t pushes) : m_pushes(pushes) {}

    // How many messages push `push` has, known once it is cut: before the
    // first of them goes. Until then its reports are dropped.
    void expect(std::size_t push, std::size_t messages);

    // A push's new state, to be logged.
    struct Change
    {
        std::size_t push = 0;
        DeliveryState state = DeliveryState::NoReport;
        std::string text; // the SMSC's text of the report that moved it
    };

    // Notes a report; a change when the push is sent and its state moved.
    // A report for a push or message the batch does not have is ignored.
    std::optional<Change> report(const DeliveryReport& report);
    // The push was sent whole; a change when earlier reports moved it.
    std::optional<Change> sent(std::size_t push);
    // The push failed: its messages' reports no longer count.
    void failed(std::size_t push);

    struct Counts
    {
        std::size_t sent = 0; // pushes sent, whatever their reports say
        std::size_t delivered = 0;
        std::size_t notDelivered = 0;
        std::size_t accepted = 0;

        std::size_t waiting() const { return sent - delivered - notDelivered; }
        std::size_t noReport() const { return waiting() - accepted; }
    };
    // Kept as pushes move, since the progress line asks after every push.
    Counts counts() const { return m_counts; }

    // Every sent push has a final state: nothing is left to wait for.
    bool settled() const { return counts().waiting() == 0; }

private:
    enum class Phase
    {
        InFlight,
        Sent,
        Failed,
    };
    struct Push
    {
        std::vector<DeliveryState> messages;
        DeliveryState state = DeliveryState::NoReport;
        Phase phase = Phase::InFlight;
        std::string text;
    };

    std::optional<Change> publish(std::size_t index);
    // Adds (+1) or takes (-1) one push in `state` to or from the counts.
    void tally(DeliveryState state, int change);

    std::vector<Push> m_pushes;
    Counts m_counts;
};

} // namespace mailvane::phone
