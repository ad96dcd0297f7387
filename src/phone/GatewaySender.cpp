#include "GatewaySender.h"

#include "PhoneService.h"
#include "StringTable.h"

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

GatewaySender::GatewaySender(SmsGateway& gateway, PushSource source)
    : m_gateway(gateway), m_source(std::move(source))
{}

GatewaySender::SharedPush GatewaySender::cut(std::string_view pushHex)
{
    auto cut = std::make_shared<CutPush>();
    cut->segmenter.countMessages(pushHex);
    for (unsigned index = 0; index < cut->segmenter.messageCount(); ++index) {
        auto segment = cut->segmenter.cutSegment(pushHex, index);
        if (!segment)
            break;
        cut->segments.push_back(std::move(*segment));
    }
    if (cut->segments.empty() || cut->segments.size() != cut->segmenter.messageCount())
        return nullptr;
    return cut;
}

GatewaySender::SharedPush GatewaySender::pushOf(std::size_t index)
{
    const std::size_t key = m_source.keyOf(index);
    if (m_lastKey != key) {
        // The last push goes as soon as no number in flight needs it.
        m_last.reset();
        const std::optional<std::string> text = m_source.textOf(key);
        m_last = text ? cut(*text) : nullptr;
        m_lastKey = key;
    }
    return m_last;
}

bool GatewaySender::firstPushReady()
{
    return pushOf(0) != nullptr;
}

void GatewaySender::prepare(PushTicket& ticket)
{
    ticket.reference = m_references.nextReference();
    SharedPush push = pushOf(ticket.index);
    const std::lock_guard lock(m_mutex);
    m_prepared[ticket.index] = std::move(push);
}

PushOutcome GatewaySender::send(const PushTicket& ticket)
{
    SharedPush taken;
    {
        const std::lock_guard lock(m_mutex);
        const auto prepared = m_prepared.find(ticket.index);
        if (prepared != m_prepared.end()) {
            taken = std::move(prepared->second);
            m_prepared.erase(prepared);
        }
    }
    if (!taken)
        return {false, std::string(settings::stringText(settings::strings::SendingErrorMessage))};
    const CutPush& push = *taken;
    if (m_reports.expect)
        m_reports.expect(ticket.index, push.segments.size());
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
        if (m_reports.url)
            message.reportUrl = m_reports.url(ticket.index, index);
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
