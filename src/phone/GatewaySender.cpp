#include "GatewaySender.h"

#include "PhoneService.h"

namespace mailvane::phone {

GatewaySender::GatewaySender(KannelGateway& gateway, std::string_view pushHex) : m_gateway(gateway)
{
    m_segmenter.countMessages(pushHex);
    for (unsigned index = 0; index < m_segmenter.messageCount(); ++index) {
        auto segment = m_segmenter.cutSegment(pushHex, index);
        if (!segment) {
            m_segments.clear();
            return;
        }
        m_segments.push_back(std::move(*segment));
    }
}

void GatewaySender::prepare(PushTicket& ticket)
{
    ticket.reference = m_segmenter.nextReference();
}

PushOutcome GatewaySender::send(const PushTicket& ticket)
{
    if (m_segments.empty())
        return {false, "the push yields no message"};
    OutgoingMessage message;
    message.recipient = ticket.number;
    message.dataCoding = static_cast<std::uint8_t>(values::DataCoding8BitClass0);
    message.concatenationReference = ticket.reference;
    PushOutcome outcome;
    for (std::size_t index = 0; index < m_segments.size(); ++index) {
        // buildHeader reads only the count, which no send changes.
        message.userDataHeader =
            m_segmenter.buildHeader(ticket.reference, static_cast<std::uint8_t>(index + 1)).bytes;
        message.userData = m_segments[index];
        const GatewayAnswer answer = m_gateway.post(message);
        if (!answer.accepted()) {
            outcome.answer = m_gateway.describe(answer) + " at message " +
                             std::to_string(index + 1) + " of " + std::to_string(m_segments.size());
            return outcome;
        }
        outcome.answer = answer.text;
    }
    outcome.sent = true;
    return outcome;
}

} // namespace mailvane::phone
