#include "DeliveryReports.h"

#include <cstdio>
#include <random>

namespace mailvane::cli {
namespace {

constexpr std::chrono::milliseconds TickInterval{250};
constexpr std::string_view CallbackPath = "/report";
// A phone lists its whole message memory for each read: not every tick.
constexpr std::chrono::seconds PhoneReadInterval{2};

// Names this batch in its callbacks, so that a late report of an earlier
// batch that reaches the same port is not taken for one of ours.
std::string randomToken()
{
    std::random_device source;
    constexpr std::string_view Digits = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 16; ++i)
        token += Digits[source() % Digits.size()];
    return token;
}

bool isWildcard(std::string_view host)
{
    return host.empty() || host == "0.0.0.0" || host == "::" || host == "*";
}

} // namespace

DeliveryReports::DeliveryReports(std::size_t pushes, Record record)
    : m_tracker(pushes), m_record(std::move(record)), m_batch(randomToken())
{}

bool DeliveryReports::start(const ReportRequest& request, std::string& error)
{
    if (!request.url && isWildcard(request.listen.host)) {
        error = "--report-listen " + request.listen.host +
                " names no address the gateway can call back: give --report-url too";
        return false;
    }
    if (!m_listener.start(
            request.listen, [this](std::string_view target) { onCallback(target); }, error))
        return false;
    if (request.url) {
        m_base = *request.url;
    } else {
        const std::string& host = request.listen.host;
        m_base = "http://" + (host.find(':') != std::string::npos ? "[" + host + "]" : host) + ":" +
                 std::to_string(m_listener.port()) + std::string(CallbackPath);
    }
    return true;
}

std::string DeliveryReports::callbackUrl(std::size_t index, std::size_t message) const
{
    return phone::reportCallbackUrl(m_base, m_batch, index, message);
}

void DeliveryReports::publish(const std::optional<phone::ReportTracker::Change>& change)
{
    if (!change)
        return;
    m_record(change->push, change->state, change->text);
    m_changed.notify_all();
}

void DeliveryReports::onCallback(std::string_view target)
{
    const std::optional<phone::DeliveryReport> report = phone::parseReportCallback(target, m_batch);
    if (!report)
        return;
    const std::lock_guard lock(m_mutex);
    publish(m_tracker.report(*report));
}

void DeliveryReports::expect(std::size_t index, std::size_t messages)
{
    const std::lock_guard lock(m_mutex);
    m_tracker.expect(index, messages);
}

void DeliveryReports::readFrom(phone::StatusReportSource& phone,
                               std::function<std::string(std::size_t)> numberOf)
{
    m_phone = &phone;
    m_numberOf = std::move(numberOf);
}

std::size_t DeliveryReports::takePhoneReferences(std::size_t index)
{
    const std::vector<std::uint8_t> references = m_phone->takeSentReferences();
    m_matcher.sent(index, m_numberOf(index), references);
    return references.size();
}

void DeliveryReports::sent(std::size_t index)
{
    const std::lock_guard lock(m_mutex);
    // A phone's push is cut as it goes: its messages are counted once sent,
    // before any of their reports can match.
    if (m_phone)
        m_tracker.expect(index, takePhoneReferences(index));
    publish(m_tracker.sent(index));
}

void DeliveryReports::failed(std::size_t index)
{
    const std::lock_guard lock(m_mutex);
    if (m_phone)
        takePhoneReferences(index); // the reports of a failed push count for nothing
    m_tracker.failed(index);
}

void DeliveryReports::readPhoneReports()
{
    const auto now = std::chrono::steady_clock::now();
    if (!m_phone || m_phoneFailed || now < m_nextPhoneRead)
        return;
    m_nextPhoneRead = now + PhoneReadInterval;
    const phone::StatusReportsRead read = m_phone->readStatusReports();
    if (read.result.failed()) {
        // The batch went; only its reports are out of reach.
        m_phoneFailed = true;
        std::fprintf(stderr,
                     "Cannot read delivery reports from the phone (%s); going on "
                     "without them\n",
                     read.result.detail.empty() ? "no reason given" : read.result.detail.c_str());
        return;
    }
    const std::lock_guard lock(m_mutex);
    for (const phone::PhoneStatusReport& report : read.reports) {
        if (const std::optional<phone::DeliveryReport> matched = m_matcher.match(report))
            publish(m_tracker.report(*matched));
    }
}

DeliveryReports::Counts DeliveryReports::counts() const
{
    const std::lock_guard lock(m_mutex);
    return m_tracker.counts();
}

void DeliveryReports::wait(std::chrono::seconds limit, const std::atomic<bool>& stop,
                           const std::function<void(const Counts&)>& tick)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    readPhoneReports();
    std::unique_lock lock(m_mutex);
    while (!m_tracker.settled() && !stop && std::chrono::steady_clock::now() < deadline) {
        m_changed.wait_until(lock,
                             std::min(deadline, std::chrono::steady_clock::now() + TickInterval));
        lock.unlock();
        readPhoneReports();
        lock.lock();
        const Counts counts = m_tracker.counts();
        lock.unlock();
        tick(counts);
        lock.lock();
    }
}

} // namespace mailvane::cli
