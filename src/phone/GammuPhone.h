#pragma once

// A real phone or modem through libgammu. The connection comes either from the
// user's Gammu configuration (~/.gammurc or /etc/gammurc; a numbered or named
// section, the first by default) or from a device path spoken to over the
// standard AT connection.
//
// Every libgammu call runs on a worker thread and is bounded in time; a call
// that overruns is aborted and the connection is dropped, so an unplugged or
// silent phone makes a send fail instead of hanging the program.

#include "BoundedWorker.h"
#include "PhoneDevice.h"
#include "PhoneReports.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace mailvane::phone {

struct GammuTarget
{
    // A device path (AT connection) or, when empty, the Gammu configuration.
    std::string device;
    // Section of the configuration: "" (the first), "N" or "gammuN".
    std::string section;
};

struct GammuTimeouts
{
    std::chrono::milliseconds connect{40'000};
    std::chrono::milliseconds message{30'000}; // one message, or one query
    std::chrono::milliseconds abortGrace{3'000};
};

// Most phonebook locations walked in one store when reading its contacts. A
// phone states how many locations it has; one that claims millions would
// otherwise be asked for each in turn, a bounded call at a time.
inline constexpr int MaxPhoneContactLocations = 65536;

// Whether the user has a Gammu configuration file.
bool hasGammuConfiguration();

// Section number for "" / "N" / "gammuN"; nothing when the text is neither.
std::optional<int> gammuSectionNumber(const std::string& section);

// Asked for status reports, the phone reads them from its message folders
// (and from the notices of those it does not store) without deleting any:
// the messages belong to the phone's owner, and one read twice counts once.
// What the folders held before the first message asked for a report cannot
// be about it and is passed over.
class GammuPhone final : public PhoneDevice, private StatusReportSource
{
public:
    explicit GammuPhone(GammuTarget target, GammuTimeouts timeouts = {});
    ~GammuPhone() override;

    PhoneConnection connect() override;
    PhoneResult send(const OutgoingMessage& message) override;
    StoreContents readContacts(ContactStore store) override;
    StatusReportSource* statusReports() override { return this; }

    // Time spent inside libgammu, for measurements.
    struct LibraryTime
    {
        std::chrono::nanoseconds connecting{0};
        std::chrono::nanoseconds sending{0};  // messages, until the phone's verdict
        std::chrono::nanoseconds querying{0}; // asking whether the phone answers
        std::chrono::nanoseconds reading{0};  // contacts
        unsigned messages = 0;
    };
    LibraryTime libraryTime() const { return m_libraryTime; }

private:
    struct Session;
    // A status report in the phone's folders: folder, location, reference,
    // status and number.
    using StoredReport = std::tuple<int, int, int, int, std::string>;
    struct ReportListing
    {
        PhoneResult result;
        std::vector<std::pair<StoredReport, PhoneStatusReport>> reports;
    };

    std::vector<std::uint8_t> takeSentReferences() override;
    StatusReportsRead readStatusReports() override;
    ReportListing listStoredReports();
    void rememberStoredReports();

    PhoneResult openSession();
    PhoneResult phoneAnswers();
    // The phone library's `error` in words that name the device.
    std::string libraryAccount(int error) const;
    std::string noAnswerAccount(std::chrono::milliseconds limit) const;
    void dropSession();
    // Runs `call(session)` on the worker, bounded by `limit`, and adds the time
    // it spent to `spent`. Its result, or nothing when it overran (the session
    // is then dropped). Whatever `call` captures must be shared: an overrunning
    // call may outlive this one.
    template <class Call>
    auto timedCall(std::chrono::milliseconds limit, std::chrono::nanoseconds& spent, Call call)
        -> std::optional<decltype(call(std::declval<Session&>()))>;

    GammuTarget m_target;
    // The device path, once known: the target's or the configuration's.
    std::string m_device;
    GammuTimeouts m_timeouts;
    std::unique_ptr<BoundedWorker> m_worker = std::make_unique<BoundedWorker>();
    std::shared_ptr<Session> m_session;
    PhoneValue m_value = 0;
    PhoneValue m_connections = 0;
    LibraryTime m_libraryTime;
    std::mutex m_referencesMutex;
    std::vector<std::uint8_t> m_sentReferences;
    // The stored reports known before the first request, and those read since.
    std::optional<std::set<StoredReport>> m_knownReports;
};

} // namespace mailvane::phone
