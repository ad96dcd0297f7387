#include "GatewaySender.h"

#include "PhoneService.h"

#include <random>
#include <thread>

namespace mailvane::phone {
namespace {

// Where between half and all of its step a retry's pause falls.
double jitter()
{
    thread_local std::minstd_rand generator{std::random_device{}()};
    return std::uniform_real_distribution<double>(0.0, 1.0)(generator);
}

// Short enough that Ctrl+C is felt at once, long enough to cost nothing.
constexpr std::chrono::milliseconds StopCheckInterval{100};

} // namespace

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
    return m_pushes[m_pushOfNumber.at(index)].segments.size();
}

PushOutcome GatewaySender::send(const PushTicket& ticket)
{
    if (!m_ready)
        return {false, "the push yields no message"};
    const CutPush& push = m_pushes[m_pushOfNumber.at(ticket.index)];
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
        const GatewayAnswer answer = post(message, index > 0);
        if (!answer.accepted()) {
            outcome.answer = m_gateway.describe(answer) + " at message " +
                             std::to_string(index + 1) + " of " +
                             std::to_string(push.segments.size());
            outcome.gatewayCause = answer.refusal != GatewayAnswer::Refusal::Number;
            return outcome;
        }
        outcome.answer = answer.text;
    }
    outcome.sent = true;
    return outcome;
}


GatewayAnswer GatewaySender::post(const OutgoingMessage& message, bool begun)
{
    for (unsigned retry = 1;; ++retry) {
        if (m_pacing.rate)
            pause(std::chrono::ceil<std::chrono::milliseconds>(
                      m_pacing.rate->take(TokenBucket::Clock::now())),
                  false);
        GatewayAnswer answer = m_gateway.post(message);
        if (answer.accepted() || answer.refusal != GatewayAnswer::Refusal::Temporary ||
            retry > m_pacing.retries)
            return answer;
        if (!pause(retryDelay(retry, answer.retryAfter, jitter()), !begun))
            return answer;
        ++m_retryCount;
    }
}

bool GatewaySender::pause(std::chrono::milliseconds delay, bool mayGiveUp) const
{
    const auto until = std::chrono::steady_clock::now() + delay;
    const auto stopped = [&] {
        return mayGiveUp && m_pacing.stop && m_pacing.stop->load(std::memory_order_relaxed);
    };
    for (auto now = std::chrono::steady_clock::now(); now < until;
         now = std::chrono::steady_clock::now()) {
        if (stopped())
            return false;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            until - now, StopCheckInterval));
    }
    return !stopped();
}

} // namespace mailvane::phone
