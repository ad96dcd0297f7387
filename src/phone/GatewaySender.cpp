#include "GatewaySender.h"

#include "PhoneService.h"

namespace mailvane::phone {

GatewaySender::GatewaySender(SmsGateway& gateway, std::string_view pushHex) : m_gateway(gateway)
{
    cut(pushHex);
}

GatewaySender::GatewaySender(SmsGateway& gateway, std::span<const std::string> pushes,
                             std::vector<std::size_t> pushOfNumber)
    : m_gateway(gateway), m_pushOfNumber(std::move(pushOfNumber))
{
    m_pushes.reserve(pushes.size());
    for (const std::string& push : pushes)
        cut(push);
    m_ready = m_ready && !m_pushes.empty();
    for (const std::size_t push : m_pushOfNumber)
        m_ready = m_ready && push < m_pushes.size();
}

void GatewaySender::cut(std::string_view pushHex)
{
    CutPush& cut = m_pushes.emplace_back();
    cut.segmenter.countMessages(pushHex);
    for (unsigned index = 0; index < cut.segmenter.messageCount(); ++index) {
        auto segment = cut.segmenter.cutSegment(pushHex, index);
        if (!segment)
            break;
        cut.segments.push_back(std::move(*segment));
    }
    m_ready =
        m_ready && !cut.segments.empty() && cut.segments.size() == cut.segmenter.messageCount();
}

void GatewaySender::prepare(PushTicket& ticket)
{
    ticket.reference = m_references.nextReference();
}

std::size_t GatewaySender::messageCount(std::size_t index) const
{
    if (m_pushes.empty())
        return 0;
    return m_pushes[m_pushOfNumber.empty() ? 0 : m_pushOfNumber.at(index)].segments.size();
}

PushOutcome GatewaySender::send(const PushTicket& ticket)
{
    if (!m_ready)
        return {false, "the push yields no message"};
    const CutPush& push = m_pushes[m_pushOfNumber.empty() ? 0 : m_pushOfNumber.at(ticket.index)];
    OutgoingMessage message;
    message.recipient = ticket.number;
    message.dataCoding = static_cast<std::uint8_t>(values::DataCoding8BitClass0);
    message.concatenationReference = ticket.reference;
    PushOutcome outcome;
    for (std::size_t index = 0; index < push.segments.size(); ++index) {
        // buildHeader reads only the count, which no send changes.
        message.userDataHeader =
            push.segmenter.buildHeader(ticket.reference, static_cast<std::uint8_t>(index + 1))
                .bytes;
        message.userData = push.segments[index];
        if (m_reportUrl)
            message.reportUrl = m_reportUrl(ticket.index, index);
        const GatewayAnswer answer = m_gateway.post(message);
        if (!answer.accepted()) {
            outcome.answer = m_gateway.describe(answer) + " at message " +
                             std::to_string(index + 1) + " of " +
                             std::to_string(push.segments.size());
            return outcome;
        }
        outcome.answer = answer.text;
    }
    outcome.sent = true;
    return outcome;
}

} // namespace mailvane::phone
