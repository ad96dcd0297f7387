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
    push.state = state;
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

std::optional<ReportTracker::Change> ReportTracker::sent(std::size_t index,
                                                         std::optional<std::size_t> messages)
{
    if (index >= m_pushes.size())
        return std::nullopt;
    if (messages)
        m_pushes[index].messages.resize(*messages, DeliveryState::NoReport);
    m_pushes[index].phase = Phase::Sent;
    return publish(index);
}

void ReportTracker::failed(std::size_t index)
{
    if (index < m_pushes.size())
        m_pushes[index].phase = Phase::Failed;
}

ReportTracker::Counts ReportTracker::counts() const
{
    Counts counts;
    for (const Push& push : m_pushes) {
        if (push.phase != Phase::Sent)
            continue;
        ++counts.sent;
        switch (push.state) {
        case DeliveryState::Delivered:
            ++counts.delivered;
            break;
        case DeliveryState::NotDelivered:
            ++counts.notDelivered;
            break;
        case DeliveryState::Accepted:
            ++counts.accepted;
            break;
        case DeliveryState::NoReport:
            break;
        }
    }
    return counts;
}

} // namespace mailvane::phone
