#include "GammuPhone.h"

#include "GammuContacts.h"
#include "GammuMessage.h"
#include "PhoneStatus.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <gammu.h>
#include <unistd.h>
#include <utility>

namespace mailvane::phone {

using Clock = std::chrono::steady_clock;

namespace {

// What the send-status callback says of the message in flight.
struct SendVerdict
{
    std::optional<int> status;
    int reference = -1;
};

} // namespace

// One libgammu state machine. Owned jointly by the phone and by any call that
// is still running on the worker, so that a call given up never sees it freed.
struct GammuPhone::Session
{
    GSM_StateMachine* machine = GSM_AllocStateMachine();
    bool connected = false;
    // The send-status callback's last report for the message in flight.
    SendVerdict sendReport;
    // Status reports the phone announced without storing them.
    std::vector<PhoneStatusReport> announced;
    bool noticesAsked = false;
    // Set from the caller's thread when a call overran.
    std::atomic<bool> aborted{false};

    ~Session()
    {
        if (!machine)
            return;
        if (connected)
            GSM_TerminateConnection(machine);
        GSM_FreeStateMachine(machine);
    }
};

namespace {

void onSendStatus(GSM_StateMachine*, int status, int reference, void* context)
{
    auto* verdict = static_cast<SendVerdict*>(context);
    verdict->status = status;
    verdict->reference = reference;
}

void onIncomingMessage(GSM_StateMachine*, GSM_SMSMessage* sms, void* context)
{
    if (std::optional<PhoneStatusReport> report = sms ? statusReportOf(*sms) : std::nullopt)
        static_cast<std::vector<PhoneStatusReport>*>(context)->push_back(std::move(*report));
}

// Most messages walked in the phone's folders for one read of its reports.
constexpr int MaxFolderMessages = 4096;

// Debug output of libgammu on stderr, for an operator who needs to see the
// conversation with the phone (MAILVANE_GAMMU_DEBUG=1).
void configureDebug(GSM_Config* config)
{
    if (!std::getenv("MAILVANE_GAMMU_DEBUG"))
        return;
    GSM_Debug_Info* debug = GSM_GetGlobalDebug();
    GSM_SetDebugFileDescriptor(stderr, FALSE, debug);
    GSM_SetDebugLevel("textall", debug);
    std::strcpy(config->DebugLevel, "textall");
    config->UseGlobalDebugFile = TRUE;
}

// Sets the connection up from `target`: S_OK, or E_ABORT with why not.
PhoneResult configure(GSM_StateMachine* machine, const GammuTarget& target)
{
    GSM_Config* config = GSM_GetConfig(machine, 0);
    if (!target.device.empty()) {
        // The same defaults a configuration file without options would give.
        std::memset(config, 0, sizeof *config);
        config->Device = strdup(target.device.c_str());
        config->Connection = strdup("at");
        config->LockDevice = FALSE;
        config->SyncTime = FALSE;
        config->StartInfo = FALSE;
        config->UseGlobalDebugFile = FALSE;
    } else {
        const std::optional<int> section = gammuSectionNumber(target.section);
        INI_Section* ini = nullptr;
        if (!section || GSM_FindGammuRC(&ini, nullptr) != ERR_NONE || !ini)
            return {platform::E_ABORT, "no Gammu configuration (~/.gammurc or /etc/gammurc)"};
        const GSM_Error read = GSM_ReadConfig(ini, config, *section);
        INI_Free(ini);
        if (read != ERR_NONE)
            return {platform::E_ABORT, "the Gammu configuration has no section \"" +
                                           target.section +
                                           "\"; libgammu: " + GSM_ErrorString(read)};
        config->UseGlobalDebugFile = FALSE;
    }
    configureDebug(config);
    GSM_SetConfigNum(machine, 1);
    return platform::S_OK;
}

// The phone has no such store, or cannot list it: nothing to offer, no fault.
bool storeMissing(GSM_Error error)
{
    return error == ERR_NOTSUPPORTED || error == ERR_NOTIMPLEMENTED || error == ERR_EMPTY ||
           error == ERR_MEMORY_NOT_AVAILABLE;
}

// Whether the connection's device is a file that is no longer there.
bool deviceNodeGone(GSM_StateMachine* machine)
{
    const GSM_Config* config = GSM_GetConfig(machine, 0);
    return config && config->Device && config->Device[0] == '/' &&
           access(config->Device, F_OK) != 0;
}

} // namespace

bool hasGammuConfiguration()
{
    INI_Section* ini = nullptr;
    const bool found = GSM_FindGammuRC(&ini, nullptr) == ERR_NONE && ini;
    if (ini)
        INI_Free(ini);
    return found;
}

GammuPhone::GammuPhone(GammuTarget target, GammuTimeouts timeouts)
    : m_target(std::move(target)), m_timeouts(timeouts)
{}

GammuPhone::~GammuPhone()
{
    dropSession();
}

std::string GammuPhone::libraryAccount(int code) const
{
    const auto error = static_cast<GSM_Error>(code);
    const std::string said = std::string("libgammu: ") + GSM_ErrorString(error);
    if (error == ERR_DEVICENOTEXIST)
        return "the device " + m_device + " does not exist; " + said;
    if (error == ERR_DEVICENOPERMISSION)
        return "no permission to open the device " + m_device + "; " + said;
    return "the device " + m_device + "; " + said;
}

std::string GammuPhone::noAnswerAccount(std::chrono::milliseconds limit) const
{
    return "the device " + m_device + " gave no answer within " + durationText(limit);
}

template <class Call>
auto GammuPhone::timedCall(std::chrono::milliseconds limit, std::chrono::nanoseconds& spent,
                           Call call) -> std::optional<decltype(call(std::declval<Session&>()))>
{
    using Value = decltype(call(std::declval<Session&>()));
    struct Result
    {
        Value value{};
        std::chrono::nanoseconds spent{0};
    };
    auto result = std::make_shared<Result>();
    std::shared_ptr<Session> session = m_session;
    const auto outcome = m_worker->run(
        [session, result, call] {
            const auto start = Clock::now();
            result->value = call(*session);
            result->spent = Clock::now() - start;
        },
        limit,
        [session] {
            if (session && session->machine) {
                session->aborted = true;
                GSM_AbortOperation(session->machine);
            }
        },
        m_timeouts.abortGrace);
    // A call given up may still be running and writing its result.
    if (outcome != BoundedWorker::Outcome::GivenUp)
        spent += result->spent;
    if (outcome == BoundedWorker::Outcome::Finished)
        return result->value;
    dropSession();
    return std::nullopt;
}

void GammuPhone::dropSession()
{
    m_value = 0;
    std::shared_ptr<Session> session = std::move(m_session);
    // Closing the device can block too, so it happens on the worker; callers
    // may still hold the session, but only to free its memory. A call stuck
    // on the worker keeps the session alive and frees it if it ever returns.
    if (session && !m_worker->givenUp()) {
        m_worker->run(
            [session] {
                if (session->connected)
                    GSM_TerminateConnection(session->machine);
                session->connected = false;
            },
            m_timeouts.message, {}, m_timeouts.abortGrace);
    }
    // A fresh worker lets the next attempt reach a replugged phone.
    if (m_worker->givenUp())
        m_worker = std::make_unique<BoundedWorker>();
}

PhoneResult GammuPhone::openSession()
{
    auto session = std::make_shared<Session>();
    if (!session->machine)
        return {platform::E_ABORT, "libgammu could not start"};
    if (PhoneResult configured = configure(session->machine, m_target); configured.failed())
        return configured;
    const GSM_Config* config = GSM_GetConfig(session->machine, 0);
    m_device = config && config->Device ? config->Device : m_target.device;
    m_session = session;
    const std::optional<GSM_Error> connected =
        timedCall(m_timeouts.connect, m_libraryTime.connecting, [](Session& opened) {
            const GSM_Error error = GSM_InitConnection(opened.machine, 1);
            opened.connected = error == ERR_NONE;
            if (opened.connected) {
                GSM_SetSendSMSStatusCallback(opened.machine, onSendStatus, &opened.sendReport);
                GSM_SetIncomingSMSCallback(opened.machine, onIncomingMessage, &opened.announced);
            }
            return error;
        });
    if (!connected || *connected != ERR_NONE) {
        dropSession();
        return {platform::E_ABORT,
                connected ? libraryAccount(*connected) : noAnswerAccount(m_timeouts.connect)};
    }
    return platform::S_OK;
}

PhoneResult GammuPhone::phoneAnswers()
{
    const std::optional<GSM_Error> answered =
        timedCall(m_timeouts.message, m_libraryTime.querying, [](Session& asked) {
            char imei[GSM_MAX_IMEI_LENGTH + 1] = {};
            return GSM_GetIMEI(asked.machine, imei);
        });
    if (!answered)
        return {platform::E_ABORT, noAnswerAccount(m_timeouts.message)};
    if (*answered != ERR_NONE)
        return {platform::E_ABORT, libraryAccount(*answered)};
    return platform::S_OK;
}

PhoneConnection GammuPhone::connect()
{
    if (m_session && m_session->connected && phoneAnswers().succeeded() && m_value != 0)
        return {m_value, {}};
    dropSession();
    PhoneResult reached = openSession();
    if (reached.succeeded())
        reached = phoneAnswers();
    if (reached.failed()) {
        dropSession();
        return {0, std::move(reached)};
    }
    m_value = ++m_connections;
    if (m_value == 0)
        m_value = ++m_connections;
    return {m_value, {}};
}

PhoneResult GammuPhone::send(const OutgoingMessage& message)
{
    if (!m_session || !m_session->connected)
        return E_PHONE_NOT_CONNECTED;
    const std::shared_ptr<GSM_SMSMessage> sms = toGammuMessage(message);
    if (!sms)
        return {platform::E_INVALIDARG, NoMessageCarriesAccount};
    if (message.statusReport && !m_knownReports) {
        // A listing that overran drops the connection; the message still
        // goes, over a fresh one to the same phone.
        const PhoneValue value = m_value;
        rememberStoredReports();
        if (!m_session || !m_session->connected) {
            if (PhoneResult reopened = openSession(); reopened.failed())
                return {E_PHONE_NOT_CONNECTED, reopened.detail};
            m_value = value;
        }
    }
    ++m_libraryTime.messages;
    const std::optional<GSM_Error> sent =
        timedCall(m_timeouts.message, m_libraryTime.sending, [sms](Session& session) {
            session.sendReport = {};
            GSM_Error error = GSM_SendSMS(session.machine, sms.get());
            // The AT driver returns once the message is written; the phone's
            // verdict arrives later through the send-status callback.
            while (error == ERR_NONE && !session.sendReport.status && !session.aborted) {
                if (!GSM_IsConnected(session.machine))
                    return ERR_DEVICEREADERROR;
                // A read error looks like silence to us; an unplugged device
                // also leaves its node, which ends the wait at once.
                if (GSM_ReadDevice(session.machine, TRUE) == 0 && deviceNodeGone(session.machine))
                    return ERR_DEVICENOTEXIST;
            }
            if (error == ERR_NONE && session.aborted)
                return ERR_ABORTED;
            if (error == ERR_NONE && *session.sendReport.status != 0)
                return ERR_UNKNOWN;
            return error;
        });
    // Read on the caller's thread once the call is over: the worker wrote it.
    const int reference =
        sent && *sent == ERR_NONE && m_session ? m_session->sendReport.reference : -1;
    if (!sent)
        return {E_PHONE_TIMEOUT, noAnswerAccount(m_timeouts.message)};
    const GSM_Error error = *sent;
    if (error != ERR_NONE) {
        const std::string account = libraryAccount(error);
        // A device that went away did not refuse anything: the connection is lost.
        if (error == ERR_DEVICEREADERROR || error == ERR_DEVICEWRITEERROR ||
            error == ERR_DEVICENOTEXIST || error == ERR_DEVICEOPENERROR || error == ERR_ABORTED) {
            dropSession();
            return {E_PHONE_NOT_CONNECTED, account};
        }
        return {gammuStatus(error), account};
    }
    if (message.statusReport && reference >= 0 && reference <= 255) {
        const std::lock_guard lock(m_referencesMutex);
        m_sentReferences.push_back(static_cast<std::uint8_t>(reference));
    }
    return platform::S_OK;
}

std::vector<std::uint8_t> GammuPhone::takeSentReferences()
{
    const std::lock_guard lock(m_referencesMutex);
    return std::exchange(m_sentReferences, {});
}

GammuPhone::ReportListing GammuPhone::listStoredReports()
{
    if (!m_session || !m_session->connected)
        return {{E_PHONE_NOT_CONNECTED, "the phone is not connected"}, {}};
    auto listing = std::make_shared<ReportListing>();
    const std::optional<GSM_Error> error =
        timedCall(m_timeouts.message, m_libraryTime.reading, [listing](Session& session) {
            // Notices of reports come while the phone is spoken to.
            if (!session.noticesAsked)
                GSM_SetIncomingSMS(session.machine, TRUE);
            session.noticesAsked = true;
            for (PhoneStatusReport& report : std::exchange(session.announced, {}))
                listing->reports.push_back(
                    {{-1, -1, report.reference, report.status, report.recipient}, report});
            auto messages = std::make_unique<GSM_MultiSMSMessage>();
            std::memset(messages.get(), 0, sizeof *messages);
            GSM_Error read = ERR_NONE;
            for (int walked = 0; walked < MaxFolderMessages; ++walked) {
                read = GSM_GetNextSMS(session.machine, messages.get(), walked == 0);
                if (read != ERR_NONE)
                    break;
                for (int part = 0; part < messages->Number && part < GSM_MAX_MULTI_SMS; ++part) {
                    const GSM_SMSMessage& sms = messages->SMS[part];
                    if (std::optional<PhoneStatusReport> report = statusReportOf(sms))
                        listing->reports.push_back({{sms.Folder, sms.Location, report->reference,
                                                     report->status, report->recipient},
                                                    *report});
                }
            }
            return read == ERR_EMPTY ? ERR_NONE : read;
        });
    if (!error)
        return {{E_PHONE_TIMEOUT, noAnswerAccount(m_timeouts.message)}, {}};
    if (*error != ERR_NONE)
        return {{gammuStatus(*error), libraryAccount(*error)}, {}};
    listing->result = platform::S_OK;
    return std::move(*listing);
}

StatusReportsRead GammuPhone::readStatusReports()
{
    ReportListing listing = listStoredReports();
    if (listing.result.failed())
        return {std::move(listing.result), {}};
    StatusReportsRead read;
    if (!m_knownReports)
        m_knownReports.emplace();
    for (auto& [key, report] : listing.reports) {
        const bool stored = std::get<0>(key) >= 0;
        if (!stored || m_knownReports->insert(key).second)
            read.reports.push_back(std::move(report));
    }
    return read;
}

void GammuPhone::rememberStoredReports()
{
    // A phone that cannot list them now says so when they are read.
    ReportListing listing = listStoredReports();
    m_knownReports.emplace();
    for (const auto& [key, report] : listing.reports) {
        if (std::get<0>(key) >= 0)
            m_knownReports->insert(key);
    }
}

StoreContents GammuPhone::readContacts(ContactStore store)
{
    if (!m_session || !m_session->connected) {
        if (PhoneConnection connection = connect(); connection.value == 0)
            return {{E_PHONE_NOT_CONNECTED, connection.result.detail}, {}};
    }
    const GSM_MemoryType memory = store == ContactStore::Sim ? MEM_SM : MEM_ME;

    auto status = std::make_shared<GSM_MemoryStatus>();
    std::memset(status.get(), 0, sizeof *status);
    status->MemoryType = memory;
    const std::optional<GSM_Error> statusError =
        timedCall(m_timeouts.message, m_libraryTime.reading, [status](Session& session) {
            return GSM_GetMemoryStatus(session.machine, status.get());
        });
    if (!statusError)
        return {{E_PHONE_TIMEOUT, noAnswerAccount(m_timeouts.message)}, {}};
    if (storeMissing(*statusError))
        return {}; // a phone without this store lists nothing from it
    if (*statusError != ERR_NONE)
        return {{gammuStatus(*statusError), libraryAccount(*statusError)}, {}};

    // The phone's own count, checked before anything is read: a store past the
    // limit, or a count no store can have, is refused rather than walked for
    // minutes. Locations are numbered from 1; a phone that claims more than
    // the limit holds is walked no further than that.
    const int used = status->MemoryUsed;
    if (used < 0 || status->MemoryFree < 0)
        return {platform::E_FAIL, {}};
    if (static_cast<std::size_t>(used) > MaxPhoneContacts)
        return {E_TOO_MANY_CONTACTS, {}};
    std::vector<DeviceContact> contacts;
    const auto locations = static_cast<int>(
        std::min<std::int64_t>(std::int64_t{used} + status->MemoryFree, MaxPhoneContactLocations));
    int found = 0;
    auto entry = std::make_shared<GSM_MemoryEntry>();
    for (int location = 1; location <= locations && found < used; ++location) {
        std::memset(entry.get(), 0, sizeof *entry);
        entry->MemoryType = memory;
        entry->Location = location;
        const std::optional<GSM_Error> error =
            timedCall(m_timeouts.message, m_libraryTime.reading, [entry](Session& session) {
                return GSM_GetMemory(session.machine, entry.get());
            });
        if (!error)
            return {{E_PHONE_TIMEOUT, noAnswerAccount(m_timeouts.message)}, {}};
        if (*error == ERR_EMPTY)
            continue;
        if (storeMissing(*error))
            break;
        if (*error != ERR_NONE) // a half-read list would pass for the whole
            return {{gammuStatus(*error), libraryAccount(*error)}, {}};
        ++found;
        contacts.push_back(contactFromEntry(*entry));
    }
    if (found < used && locations == MaxPhoneContactLocations)
        return {platform::E_FAIL, {}}; // the rest lies past the locations walked
    return {platform::S_OK, std::move(contacts)};
}

} // namespace mailvane::phone
