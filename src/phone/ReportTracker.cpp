#include "ReportTracker.h"

namespace mailvane::phone {

void ReportTracker::expect(std::size_t push, std::size_t messages)
{
    if (push < m_pushes.size())
        m_pushes[push].messages.assign(messages, DeliveryState::NoReport);
}

std::optional<ReportTracker::Change> ReportTracker::publish(std::size_t index)
{
    Push& push = m_pushes[index];
    const DeliveryState state = foldPushState(push.messages);
    if (push.phase != Phase::Sent || state == push.state)
        return std::nullopt;
    tally(push.state, -1);
    push.state = state;
    tally(push.state, +1);
    return Change{index, state, push.text};
}

std::optional<ReportTracker::Change> ReportTracker::report(const DeliveryReport& report)
{
    if (report.push >= m_pushes.size())
        return std::nullopt;
    Push& push = m_pushes[report.push];
    if (push.phase == Phase::Failed || report.message >= push.messages.size())
        return std::nullopt;
    DeliveryState& message = push.messages[report.message];
    const DeliveryState before = message;
    message = advance(message, stateOfReportType(report.type));
    if (message == before)
        return std::nullopt;
    push.text = report.text;
    return publish(report.push);
}

std::optional<ReportTracker::Change> ReportTracker::sent(std::size_t index)
{
    if (index >= m_pushes.size())
        return std::nullopt;
    Push& push = m_pushes[index];
    if (push.phase != Phase::Sent) {
        push.phase = Phase::Sent;
        ++m_counts.sent;
        tally(push.state, +1);
    }
    return publish(index);
}

void ReportTracker::failed(std::size_t index)
{
    if (index >= m_pushes.size())
        return;
    Push& push = m_pushes[index];
    if (push.phase == Phase::Sent) {
        --m_counts.sent;
        tally(push.state, -1);
    }
    push.phase = Phase::Failed;
}

void ReportTracker::tally(DeliveryState state, int change)
{
    std::size_t* count = nullptr;
    switch (state) {
    case DeliveryState::Delivered:
        count = &m_counts.delivered;
        break;
    case DeliveryState::NotDelivered:
        count = &m_counts.notDelivered;
        break;
    case DeliveryState::Accepted:
        count = &m_counts.accepted;
        break;
    case DeliveryState::NoReport:
        return;
    }
    if (change > 0)
        ++*count;
    else
        --*count;
}

} // namespace mailvane::phone
