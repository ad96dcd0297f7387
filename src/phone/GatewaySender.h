#pragma once

// Sends pushes straight to an SMS gateway, several numbers at once. A push
// is had and cut only when its first number's turn comes, and kept only while
// numbers in flight need it, so that a long batch of different pushes holds
// no more of them than it has numbers in flight; numbers in a row that share
// a push share one cut. Each number takes the next concatenation reference in
// list order, as the phone link would give it.
//
// A message the gateway refuses for now (busy, out of reach) is tried again
// after a growing pause; the push goes on from that message, never from its
// first, so that a phone never gets a part twice from one push.

#include "MessageSegmenter.h"
#include "PushSender.h"
#include "RetryPacing.h"
#include "SmsGateway.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace mailvane::phone {

// How a gateway sender paces itself; the defaults retry and never wait for a rate.
struct GatewayPacing
{
    unsigned retries = DefaultRetries; // per message
    TokenBucket* rate = nullptr;       // not owned; null for no limit
    // Raised to stop the batch: a push none of whose messages went yet gives up
    // instead of waiting to retry. One under way still completes.
    const std::atomic<bool>* stop = nullptr;
};

// Where the pushes of a batch come from. Numbers with one key receive one
// push. Keys are asked for in the numbers' order, one at a time.
struct PushSource
{
    std::function<std::size_t(std::size_t index)> keyOf;
    // The push of a key as hexadecimal text; nothing, after saying why, when
    // it cannot be had.
    std::function<std::optional<std::string>(std::size_t key)> textOf;
};

// Delivery reports on every message of a batch.
struct ReportRequests
{
    // Before the first message of number `index`'s push: how many it has.
    std::function<void(std::size_t index, std::size_t messages)> expect;
    // Where the gateway reports on message `message` of that push.
    std::function<std::string(std::size_t index, std::size_t message)> url;
};

class GatewaySender final : public PushSender
{
public:
    GatewaySender(SmsGateway& gateway, PushSource source);

    // Has and cuts the push of the batch's first number ahead of its turn:
    // false when it cannot be had or yields no message, so that a batch whose
    // one push is wrong stops before anything goes. A later push that fails
    // so fails its numbers alone.
    bool firstPushReady();

    void requestReports(ReportRequests reports) { m_reports = std::move(reports); }
    void setPacing(const GatewayPacing& pacing) { m_pacing = pacing; }
    // How many messages were tried again, over every push so far.
    unsigned long retryCount() const { return m_retryCount.load(); }

    unsigned maxJobs() const override { return MaxJobs; }
    // Has and cuts the ticket's push, unless its number shares the last.
    void prepare(PushTicket& ticket) override;
    PushOutcome send(const PushTicket& ticket) override;

    static constexpr unsigned MaxJobs = 100;

private:
    // One push cut into its messages; the segmenter holds their count.
    struct CutPush
    {
        provisioning::MessageSegmenter segmenter;
        std::vector<std::vector<std::uint8_t>> segments;
    };
    using SharedPush = std::shared_ptr<const CutPush>;

    // The push of number `index`: the last one when the key is the same.
    // Null when it cannot be had or yields no message.
    SharedPush pushOf(std::size_t index);
    static SharedPush cut(std::string_view pushHex);
    // Posts `message`, trying again while the refusal is temporary and tries
    // are left. `begun`: an earlier message of the push went already.
    GatewayAnswer post(const OutgoingMessage& message, bool begun);
    // Sleeps `delay`; false when the batch stopped meanwhile and `mayGiveUp`.
    bool pause(std::chrono::milliseconds delay, bool mayGiveUp) const;

    SmsGateway& m_gateway;
    PushSource m_source;
    provisioning::MessageSegmenter m_references;
    std::optional<std::size_t> m_lastKey; // prepare()'s alone, called one at a time
    SharedPush m_last;
    std::mutex m_mutex;
    std::map<std::size_t, SharedPush> m_prepared; // by index, until its send takes it
    ReportRequests m_reports;
    GatewayPacing m_pacing;
    std::atomic<unsigned long> m_retryCount{0};
};

} // namespace mailvane::phone
