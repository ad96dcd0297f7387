#pragma once

// Sends pushes straight to an SMS gateway, several numbers at once. Each
// push is cut once, however many numbers receive it; each number takes the
// next concatenation reference in list order, as the phone link would give it.

#include "MessageSegmenter.h"
#include "PushSender.h"
#include "SmsGateway.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace mailvane::phone {

class GatewaySender final : public PushSender
{
public:
    // Every number receives the push `pushHex` (hexadecimal text).
    GatewaySender(SmsGateway& gateway, std::string_view pushHex);
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

    SmsGateway& m_gateway;
    provisioning::MessageSegmenter m_references;
    std::vector<CutPush> m_pushes;
    std::vector<std::size_t> m_pushOfNumber; // empty: every number gets push 0
    bool m_ready = true;
    ReportUrl m_reportUrl;
};

} // namespace mailvane::phone
