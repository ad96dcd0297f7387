#pragma once

// Sends pushes straight to an SMS gateway, several numbers at once. Each
// push is cut once, however many numbers receive it; each number takes the
// next concatenation reference in list order, as the phone link would give it.
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
#include <span>
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

class GatewaySender final : public PushSender
{
public:
    // Number i of the batch receives pushes[pushOfNumber[i]].
    GatewaySender(SmsGateway& gateway, std::span<const std::string> pushes,
                  std::vector<std::size_t> pushOfNumber);

    // Whether every push yields messages; nothing can be sent otherwise.
    bool ready() const { return m_ready; }

    // Asks for delivery reports on every message, sent to the URL that
    // `reportUrl` gives for (number's index, message's index).
    using ReportUrl = std::function<std::string(std::size_t index, std::size_t message)>;
    void requestReports(ReportUrl reportUrl) { m_reportUrl = std::move(reportUrl); }
    // How many messages number `index` of the batch receives.
    std::size_t messageCount(std::size_t index) const;
    void setPacing(const GatewayPacing& pacing) { m_pacing = pacing; }
    // How many messages were tried again, over every push so far.
    unsigned long retryCount() const { return m_retryCount.load(); }

    unsigned maxJobs() const override { return MaxJobs; }
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

    void cut(std::string_view pushHex);
    // Posts `message`, trying again while the refusal is temporary and tries
    // are left. `begun`: an earlier message of the push went already.
    GatewayAnswer post(const OutgoingMessage& message, bool begun);
    // Sleeps `delay`; false when the batch stopped meanwhile and `mayGiveUp`.
    bool pause(std::chrono::milliseconds delay, bool mayGiveUp) const;

    SmsGateway& m_gateway;
    provisioning::MessageSegmenter m_references;
    std::vector<CutPush> m_pushes;
    std::vector<std::size_t> m_pushOfNumber; // by the number's index
    bool m_ready = true;
    ReportUrl m_reportUrl;
    GatewayPacing m_pacing;
    std::atomic<unsigned long> m_retryCount{0};
};

} // namespace mailvane::phone
