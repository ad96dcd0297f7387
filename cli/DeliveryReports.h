#pragma once

// The delivery reports of one batch: through a gateway, a listener for the
// gateway's callbacks and the callback URL of each message; through a
// phone, the status reports it reads, matched by message reference and
// number; and where each push stands. Every change of a sent push's state is handed to `record`
// (the log) as it happens, from whichever thread brought it.

#include "PhoneReports.h"
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

    // Reads the reports from `phone` instead of a listener; `numberOf`
    // gives the number of push i. The phone must outlive this object.
    void readFrom(phone::StatusReportSource& phone,
                  std::function<std::string(std::size_t)> numberOf);

    // What the gateway calls for message `message` of number `index`.
    std::string callbackUrl(std::size_t index, std::size_t message) const;

    // Number `index`'s push has `messages` messages; see ReportTracker::expect.
    void expect(std::size_t index, std::size_t messages);
    void sent(std::size_t index);
    void failed(std::size_t index);
    Counts counts() const;

    // Waits until every sent push has its final state, `limit` has passed
    // or `stop` is raised, calling `tick` with the counts now and then. A
    // phone's reports are read as it waits, once even without waiting.
    void wait(std::chrono::seconds limit, const std::atomic<bool>& stop,
              const std::function<void(const Counts&)>& tick);

    // The batch's token, which each callback URL carries.
    const std::string& batch() const { return m_batch; }

private:
    void onCallback(std::string_view target);
    void publish(const std::optional<phone::ReportTracker::Change>& change);
    // The phone's references of the push's messages, matched from now on;
    // how many messages went.
    std::size_t takePhoneReferences(std::size_t index);
    void readPhoneReports();

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    phone::ReportTracker m_tracker;
    Record m_record;
    std::string m_batch;
    std::string m_base;
    phone::StatusReportSource* m_phone = nullptr;
    std::function<std::string(std::size_t)> m_numberOf;
    phone::PhoneReportMatcher m_matcher;
    bool m_phoneFailed = false;
    std::chrono::steady_clock::time_point m_nextPhoneRead{};
    phone::ReportListener m_listener; // last: stopped before the rest goes
};

} // namespace mailvane::cli
