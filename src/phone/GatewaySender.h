#pragma once

// Sends a push straight to a Kannel gateway, several numbers at once. The
// push is the same for every number (only the recipient and the reference
// differ), so it is cut once; each number takes the next concatenation
// reference in list order, as the phone link would give it.

#include "KannelGateway.h"
#include "MessageSegmenter.h"
#include "PushSender.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mailvane::phone {

class GatewaySender final : public PushSender
{
public:
    // `pushHex` is the push as hexadecimal text; nothing can be sent when it
    // yields no message (see messageCount()).
    GatewaySender(KannelGateway& gateway, std::string_view pushHex);

    unsigned messageCount() const { return static_cast<unsigned>(m_segments.size()); }

    unsigned maxJobs() const override { return MaxJobs; }
    void prepare(PushTicket& ticket) override;
    PushOutcome send(const PushTicket& ticket) override;

    static constexpr unsigned MaxJobs = 100;

private:
    KannelGateway& m_gateway;
    provisioning::MessageSegmenter m_segmenter;
    std::vector<std::vector<std::uint8_t>> m_segments;
};

} // namespace mailvane::phone
