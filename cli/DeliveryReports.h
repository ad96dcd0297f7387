#pragma once

// The delivery reports of one batch through a gateway: a listener for the
// gateway's callbacks, the callback URL of each message, and where each
// push stands. Every change of a sent push's state is handed to `record`
// (the log) as it happens, from whichever thread brought it.

#include "ReportListener.h"
#include "ReportTracker.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mailvane::cli {

inline constexpr std::chrono::seconds DefaultReportWait{60};

struct ReportRequest
{
    bool wanted = false;
    phone::ListenAddress listen;    // loopback, any free port
    std::optional<std::string> url; // the listener as the gateway reaches it
    std::chrono::seconds wait = DefaultReportWait;
};

class DeliveryReports
{
public:
    using Counts = phone::ReportTracker::Counts;
    using Record =
        std::function<void(std::size_t index, phone::DeliveryState state, std::string_view text)>;

    // For a batch of `pushes` pushes, each of which expect() sizes.
    DeliveryReports(std::size_t pushes, Record record);

    // Starts listening; false with `error` set when the address cannot be
    // bound or names no host the gateway could call back.
    bool start(const ReportRequest& request, std::string& error);

    // What the gateway calls for message `message` of number `index`.
    std::string callbackUrl(std::size_t index, std::size_t message) const;

    // Number `index`'s push has `messages` messages; see ReportTracker::expect.
    void expect(std::size_t index, std::size_t messages);
    void sent(std::size_t index);
    void failed(std::size_t index);
    Counts counts() const;

    // Waits until every sent push has its final state, `limit` has passed
    // or `stop` is raised, calling `tick` with the counts now and then.
    void wait(std::chrono::seconds limit, const std::atomic<bool>& stop,
              const std::function<void(const Counts&)>& tick);

    // The batch's token, which each callback URL carries.
    const std::string& batch() const { return m_batch; }

private:
    void onCallback(std::string_view target);
    void publish(const std::optional<phone::ReportTracker::Change>& change);

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    phone::ReportTracker m_tracker;
    Record m_record;
    std::string m_batch;
    std::string m_base;
    phone::ReportListener m_listener; // last: stopped before the rest goes
};

} // namespace mailvane::cli
