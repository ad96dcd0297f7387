#include "BatchRunner.h"

#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <set>

using namespace mailvane::phone;

namespace {

const std::vector<std::string> Numbers = {"1", "2", "3", "4", "5", "6", "7", "8"};

// Fails the numbers it is told to. With `overlap` set, each send waits
// (bounded) until that many are in flight or every number has started, so
// that the batch's concurrency shows.
class ScriptedSender final : public PushSender
{
public:
    ScriptedSender(unsigned maxJobs, std::set<std::string> failing)
        : m_maxJobs(maxJobs), m_failing(std::move(failing))
    {}

    unsigned maxJobs() const override { return m_maxJobs; }
    void prepare(PushTicket& ticket) override
    {
        const std::lock_guard lock(m_mutex);
        ticket.reference = static_cast<std::uint8_t>(++m_prepared);
        prepared.push_back(ticket.number);
    }
    PushOutcome send(const PushTicket& ticket) override
    {
        std::unique_lock lock(m_mutex);
        ++m_inFlight;
        mostInFlight = std::max(mostInFlight, m_inFlight);
        m_changed.notify_all();
        if (overlap > 1)
            m_changed.wait_for(lock, std::chrono::seconds(5), [this] {
                return m_inFlight >= overlap || m_prepared == Numbers.size();
            });
        if (ticket.reference != ticket.index + 1)
            wrongReference = true;
        --m_inFlight;
        const bool sent = !m_failing.contains(ticket.number);
        return {sent, sent ? "ok" : "refused", !sent && gatewayCauses};
    }

    unsigned overlap = 0;
    bool gatewayCauses = false; // every failure is the gateway's
    unsigned mostInFlight = 0;
    bool wrongReference = false;
    std::vector<std::string> prepared;

private:
    unsigned m_maxJobs;
    std::set<std::string> m_failing;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    unsigned m_inFlight = 0;
    unsigned m_prepared = 0;
};

} // namespace

TEST(BatchRunner, keepsUpToJobsInFlightAndPreparesInListOrder)
{
    struct Case
    {
        unsigned jobs;
        unsigned senderMax;
        unsigned expectedMost;
    };
    for (const Case c : {Case{4, 100, 4}, Case{8, 1, 1}, Case{1, 100, 1}}) {
        ScriptedSender sender(c.senderMax, {});
        sender.overlap = c.expectedMost;
        std::vector<std::string> finished;
        BatchEvents events;
        events.finished = [&](const PushTicket& ticket, const PushOutcome&) {
            finished.push_back(ticket.number);
        };
        const BatchSummary summary = runBatch(sender, Numbers, {c.jobs, false, nullptr}, events);
        EXPECT_EQ(summary.sent, Numbers.size());
        EXPECT_TRUE(summary.allSent(Numbers.size()));
        EXPECT_EQ(sender.prepared, Numbers);
        EXPECT_FALSE(sender.wrongReference);
        EXPECT_EQ(sender.mostInFlight, c.expectedMost) << c.jobs;
        EXPECT_EQ(finished.size(), Numbers.size());
    }
}

TEST(BatchRunner, stopsAtTheFirstFailureUnlessToldToKeepGoingOrWhenTheGatewayIsDown)
{
    struct Case
    {
        bool keepGoing;
        std::set<std::string> failing;
        bool gatewayCauses;
        unsigned stopAfter;
        std::size_t sent, failed, notStarted;
        bool gatewayDown;
    };
    const Case cases[] = {
        {false, {"3", "6"}, false, 0, 2, 1, 5, false},
        {true, {"3", "6"}, false, 0, 6, 2, 0, false},
        {true, {"3", "4", "5"}, true, 2, 2, 2, 4, true},
        // Not in a row, or the numbers' own refusals: the batch goes on.
        {true, {"3", "5", "7"}, true, 2, 5, 3, 0, false},
        {true, {"3", "4", "5"}, false, 2, 5, 3, 0, false},
        {false, {"3"}, true, 1, 2, 1, 5, true},
    };
    for (const Case& c : cases) {
        ScriptedSender sender(1, c.failing);
        sender.gatewayCauses = c.gatewayCauses;
        const BatchSummary summary =
            runBatch(sender, Numbers, {1, c.keepGoing, nullptr, c.stopAfter});
        const std::string name = *c.failing.begin() + "/" + std::to_string(c.stopAfter);
        EXPECT_EQ(summary.sent, c.sent) << name;
        EXPECT_EQ(summary.failed, c.failed) << name;
        EXPECT_EQ(summary.notStarted, c.notStarted) << name;
        EXPECT_EQ(summary.gatewayDown, c.gatewayDown) << name;
        EXPECT_FALSE(summary.allSent(Numbers.size()));
        EXPECT_FALSE(summary.stopped);
    }
    ScriptedSender sender(1, {});
    EXPECT_FALSE(runBatch(sender, {}, {}).allSent(0));
}

TEST(BatchRunner, stopFlagLetsThePushesInFlightFinishAndStartsNoMore)
{
    ScriptedSender sender(100, {});
    std::atomic<bool> stop{false};
    std::size_t reported = 0;
    BatchEvents events;
    events.finished = [&](const PushTicket&, const PushOutcome&) {
        if (++reported == 3)
            stop = true;
    };
    const BatchSummary summary = runBatch(sender, Numbers, {2, false, &stop}, events);
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(summary.sent, reported);
    EXPECT_EQ(summary.sent + summary.notStarted, Numbers.size());
    EXPECT_LE(summary.sent, 4u); // three, and at most one more already started
    EXPECT_EQ(sender.prepared.size(), summary.sent);
}
