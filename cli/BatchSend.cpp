#include "BatchSend.h"

#include "BatchRunner.h"
#include "CliSupport.h"
#include "Command.h"
#include "DocumentBuilder.h"
#include "DryRunGateway.h"
#include "GatewaySender.h"
#include "LinkSender.h"
#include "LogStatus.h"
#include "PhoneLink.h"
#include "PhoneModule.h"
#include "ProgressLine.h"
#include "PushBuilder.h"
#include "Recipients.h"
#include "SendLog.h"
#include "SendingLoop.h"
#include "ServiceObjects.h"
#include "StopSignal.h"
#include "StringTable.h"
#include "TokenTables.h"

#include <cinttypes>
#include <memory>
#include <unistd.h>

namespace mailvane::cli {
namespace {

using Clock = std::chrono::steady_clock;

// The pushes of a batch through a gateway, had from the parcel source as
// their turn comes; built here when the source leaves them empty.
class GatewayPushes
{
public:
    GatewayPushes(const std::vector<BatchItem>& items, ParcelSource& source,
                  std::filesystem::path tokenTable)
        : m_items(items), m_source(source), m_tokenTable(std::move(tokenTable))
    {}

    phone::PushSource source()
    {
        return {[this](std::size_t index) { return m_items.at(index).parcel; },
                [this](std::size_t key) { return text(key); }};
    }

    // A push could not be had, and why was said.
    bool saidWhy() const { return m_saidWhy; }

private:
    std::optional<std::string> text(std::size_t key)
    {
        Parcel* parcel = m_source.parcel(key);
        if (!parcel) {
            m_saidWhy = true;
            return std::nullopt;
        }
        if (!parcel->push.empty())
            return std::move(parcel->push);
        if (!m_tablesLoaded && !m_tables.load(m_tokenTable)) {
            printError("cannot read the token table " + m_tokenTable.string());
            m_saidWhy = true;
            return std::nullopt;
        }
        m_tablesLoaded = true;
        const std::optional<std::string> document = provisioning::buildDocument(parcel->record);
        std::optional<std::string> push =
            document ? provisioning::encodeProvisioningPush(m_tables, *document, parcel->security)
                     : std::nullopt;
        if (!push) {
            printError(settings::stringText(settings::strings::SendingErrorMessage));
            m_saidWhy = true;
        }
        return push;
    }

    const std::vector<BatchItem>& m_items;
    ParcelSource& m_source;
    std::filesystem::path m_tokenTable;
    provisioning::TokenTables m_tables;
    bool m_tablesLoaded = false;
    bool m_saidWhy = false;
};

// What a resumed run leaves out: the numbers a log records as sent, and those
// it cannot tell (a push started and never ended) unless they are to be sent
// again.
struct ResumePlan
{
    std::vector<BatchItem> toSend;
    std::size_t alreadySent = 0;
    std::vector<std::string> uncertain; // left out
};

ResumePlan planResume(std::vector<BatchItem> items, const LoggedNumbers& logged,
                      bool resendUncertain)
{
    ResumePlan plan;
    for (BatchItem& item : items) {
        if (logged.sent.contains(item.number))
            ++plan.alreadySent;
        else if (!resendUncertain && logged.uncertain.contains(item.number))
            plan.uncertain.push_back(item.number);
        else
            plan.toSend.push_back(std::move(item));
    }
    return plan;
}

// Takes the numbers whose last report says not delivered out of `sent`, so
// that they are sent again; false (after saying why) when the log cannot be
// read.
bool withoutUndelivered(const std::string& path, std::set<std::string, std::less<>>& sent)
{
    const LogStatusResult log = readLogStatusFile(path);
    if (!log.read) {
        printError(log.error);
        return false;
    }
    const std::vector<std::string> undelivered = log.status.numbersIn(NumberState::NotDelivered);
    for (const std::string& number : undelivered)
        sent.erase(number);
    std::fprintf(stderr, "Sending again to %zu recipients that %s reports as not delivered\n",
                 undelivered.size(), path.c_str());
    return true;
}

LogOutcome outcomeOfState(phone::DeliveryState state)
{
    switch (state) {
    case phone::DeliveryState::Delivered:
        return LogOutcome::Delivered;
    case phone::DeliveryState::NotDelivered:
        return LogOutcome::NotDelivered;
    case phone::DeliveryState::Accepted:
    case phone::DeliveryState::NoReport:
        break;
    }
    return LogOutcome::Accepted;
}

// The back end of a batch and its sender; only one of them is used.
struct Sending
{
    std::unique_ptr<phone::SmsGateway> gateway;
    std::unique_ptr<phone::PhoneLink> link;
    std::unique_ptr<phone::TokenBucket> rate;
    std::unique_ptr<GatewayPushes> pushes;
    std::unique_ptr<phone::PushSender> sender;
    phone::GatewaySender* gatewaySender = nullptr; // the sender, when it is one
    std::shared_ptr<phone::PhoneDevice> device; // the phone, when the link sends
    unsigned jobs = 1;
};

// Straight to a gateway (a dry run's gateway sends nothing) with retries.
bool prepareGatewaySending(Sending& sending, const BatchRequest& request,
                           const std::vector<BatchItem>& items, ParcelSource& source,
                           const std::filesystem::path& tokenTable,
                           const phone::PhoneSelection& phone, const std::atomic<bool>& stop)
{
    if (request.dryRun) {
        sending.gateway = std::make_unique<DryRunGateway>();
    } else {
        // A gateway URL was read by the back ends' module, so it is loaded.
        const phone::PhoneModuleFunctions* module = phone::phoneModule();
        if (!module)
            return false;
        phone::GatewayTimeouts timeouts;
        timeouts.request = request.timeout;
        timeouts.connect = std::min(timeouts.connect, request.timeout);
        sending.gateway = module->createGateway(phone.gateway, timeouts);
    }
    sending.pushes = std::make_unique<GatewayPushes>(items, source, tokenTable);
    auto sender = std::make_unique<phone::GatewaySender>(*sending.gateway, sending.pushes->source());
    // The first push is had before anything goes; the others when their turn comes.
    if (!sender->firstPushReady()) {
        if (!sending.pushes->saidWhy())
            printError(settings::stringText(settings::strings::SendingErrorMessage));
        return false;
    }
    if (request.rate)
        sending.rate = std::make_unique<phone::TokenBucket>(*request.rate);
    sender->setPacing({request.retries, sending.rate.get(), &stop});
    sending.gatewaySender = sender.get();
    sending.sender = std::move(sender);
    sending.jobs = request.jobs;
    return true;
}

// Through the phone link, one number at a time.
bool preparePhoneSending(Sending& sending, const BatchRequest& request,
                         const std::vector<BatchItem>& items, ParcelSource& source,
                         const std::filesystem::path& tokenTable,
                         const phone::PhoneSelection& phone, ProgressLine& progress)
{
    sending.device = phone::createPhoneDevice(phone);
    phone::registerPhoneService(sending.device);
    sending.link = std::make_unique<phone::PhoneLink>(tokenTable);
    if (!sending.link->tokenTableLoaded()) {
        printError("cannot read the token table " + tokenTable.string());
        return false;
    }
    sending.link->setMessageProgress([&progress](unsigned message, unsigned count) {
        progress.note("  message " + std::to_string(message) + " of " + std::to_string(count));
    });
    if (request.jobs > 1)
        std::fprintf(stderr, "A phone sends one message at a time; --jobs applies to a "
                             "gateway (kannel:URL)\n");
    sending.sender = std::make_unique<phone::LinkSender>(*sending.link, [&](std::size_t index) {
        Parcel* parcel = source.parcel(items.at(index).parcel);
        return parcel ? phone::LinkParcel{&parcel->record, &parcel->security}
                      : phone::LinkParcel{};
    });
    return true;
}

// How a batch ended, for its last words and exit status.
struct Ending
{
    phone::BatchSummary summary;
    std::size_t total = 0; // numbers this run meant to send
    std::size_t skipped = 0;
    std::size_t alreadySent = 0;
    std::size_t uncertain = 0;
    unsigned long retries = 0;
    Clock::duration took{};
    std::string firstFailure;
    std::string lastGatewayFailure;
    std::string logError;
    bool signalled = false;
    bool dryRun = false;
    std::optional<DeliveryReports::Counts> reports; // with --reports through a gateway
};

// "N sent, M failed, K skipped, L already sent, U uncertain, in T s"
std::string closingLine(const Ending& ending)
{
    const phone::BatchSummary& summary = ending.summary;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f",
                  std::chrono::duration<double>(ending.took).count());
    std::string line = std::to_string(summary.sent) + " sent, " + std::to_string(summary.failed) +
                       " failed, " + std::to_string(ending.skipped) + " skipped, " +
                       std::to_string(ending.alreadySent) + " already sent, " +
                       std::to_string(ending.uncertain) + " uncertain";
    if (summary.notStarted > 0)
        line += ", " + std::to_string(summary.notStarted) + " not started";
    if (ending.reports)
        line += ", " + std::to_string(ending.reports->delivered) + " delivered, " +
                std::to_string(ending.reports->notDelivered) + " not delivered, " +
                std::to_string(ending.reports->waiting()) + " no report";
    line += ", in " + std::string(seconds) + " s";
    if (ending.retries > 0)
        line += " (" + std::to_string(ending.retries) + " messages tried again)";
    if (ending.dryRun)
        line += "; a dry run: nothing went to a phone or gateway";
    return line;
}

int conclude(const Ending& ending, const BatchRequest& request)
{
    const phone::BatchSummary& summary = ending.summary;
    const std::string counts =
        std::to_string(summary.sent) + " of " + std::to_string(ending.total) + " recipients sent";
    const std::string resumeHint =
        request.logPath ? "; run again with --resume " + *request.logPath + " to send the rest"
                        : std::string();
    int status = ExitFailure;
    if (!ending.logError.empty()) {
        printError(ending.logError + "; stopped with " + counts);
    } else if (ending.signalled && summary.notStarted > 0) {
        printError("stopped: " + counts + ", " + std::to_string(summary.failed) + " failed, " +
                   std::to_string(summary.notStarted) + " not started" + resumeHint);
        status = ExitInterrupted;
    } else if (summary.gatewayDown) {
        printError("stopped: " + std::to_string(request.stopAfter) +
                   " pushes in a row failed for the gateway, the last: " +
                   ending.lastGatewayFailure + "; " + std::to_string(summary.notStarted) +
                   " not started" + resumeHint);
    } else if (summary.allSent(ending.total) || ending.total == 0) {
        // Every number this run was given went; anything left out says so below.
        status = ExitSuccess;
    } else if (request.keepGoing) {
        printError(std::to_string(summary.failed) + " of " + std::to_string(ending.total) +
                   " recipients failed (" + counts + "); the first: " + ending.firstFailure);
    } else {
        printError(ending.firstFailure + "; " + counts);
    }
    if (status == ExitSuccess && ending.skipped > 0) {
        printError(std::to_string(ending.skipped) +
                   " rows were skipped and not sent; correct them and run again");
        status = ExitFailure;
    }
    if (status == ExitSuccess && ending.uncertain > 0)
        status = ExitFailure; // listed before the batch began
    // A push reported not delivered did not reach its phone: not a success.
    if (status == ExitSuccess && ending.reports && ending.reports->notDelivered > 0) {
        printError(std::to_string(ending.reports->notDelivered) + " of " +
                   std::to_string(ending.reports->sent) +
                   " recipients were reported not delivered" +
                   (request.logPath ? "; --resume " + *request.logPath +
                                          " --resend-undelivered sends to them again"
                                    : std::string()));
        status = ExitFailure;
    }
    if (status == ExitSuccess && !ending.dryRun && ending.total > 0)
        status = printOutput(
            std::string(settings::stringText(settings::strings::SettingsSentMessage)) + "\n");
    printError(closingLine(ending));
    return status;
}

void listUncertain(const std::vector<std::string>& uncertain, const std::string& logPath)
{
    if (uncertain.empty())
        return;
    std::string text = std::to_string(uncertain.size()) + " recipients may or may not have got " +
                       "their push (" + logPath + " records a start and no end), so they are " +
                       "left out; --resend-uncertain sends to them again:";
    for (const std::string& number : uncertain)
        text += "\n  " + number;
    printError(text);
}

// What a batch records of each push as it goes: a log line before and after
// it, the progress line, and what the closing words need. Its calls come one
// at a time, as the batch's events do.
class BatchJournal
{
public:
    BatchJournal(const BatchRequest& request, SendLog& log, ProgressLine& progress,
                 const std::vector<BatchItem>& items, Ending& ending)
        : m_request(request), m_log(log), m_progress(progress), m_items(items), m_ending(ending)
    {}

    // False when the push cannot be logged: it must not go, nor any after it.
    bool starting(const phone::PushTicket& ticket)
    {
        if (!record(ticket, m_request.dryRun ? LogOutcome::Dry : LogOutcome::Started,
                    m_request.dryRun ? DryRunAnswer : std::string_view()))
            return false;
        ++m_inFlight;
        m_progress.starting(ticket.index, ticket.number);
        return true;
    }

    void finished(const phone::PushTicket& ticket, const phone::PushOutcome& outcome)
    {
        --m_inFlight;
        if (!outcome.sent && m_ending.firstFailure.empty())
            m_ending.firstFailure = ticket.number + ": " + outcome.answer;
        if (outcome.gatewayCause)
            m_ending.lastGatewayFailure = ticket.number + ": " + outcome.answer;
        // A dry run's one line says all.
        if (!m_request.dryRun || !outcome.sent)
            record(ticket, outcome.sent ? LogOutcome::Sent : LogOutcome::Failed, outcome.answer);
        if (m_reports) {
            if (outcome.sent)
                m_reports->sent(ticket.index);
            else
                m_reports->failed(ticket.index);
            const DeliveryReports::Counts counts = m_reports->counts();
            m_progress.reports(counts.delivered, counts.notDelivered, counts.waiting());
        }
        m_progress.finished(outcome.sent, ticket.number, outcome.answer);
    }

    void followReports(DeliveryReports* reports) { m_reports = reports; }

    std::size_t inFlight() const { return m_inFlight.load(); }

    phone::BatchEvents events()
    {
        return {[this](const phone::PushTicket& ticket) { return starting(ticket); },
                [this](const phone::PushTicket& ticket, const phone::PushOutcome& outcome) {
                    finished(ticket, outcome);
                }};
    }

private:
    bool record(const phone::PushTicket& ticket, LogOutcome outcome, std::string_view answer)
    {
        if (!m_request.logPath || !m_ending.logError.empty())
            return m_ending.logError.empty();
        if (m_log.record(ticket.number, outcome, answer, m_items[ticket.index].line))
            return true;
        // Without its log a resumed run would repeat or skip numbers.
        m_ending.logError = "cannot write the log " + m_log.path();
        return false;
    }

    const BatchRequest& m_request;
    SendLog& m_log;
    ProgressLine& m_progress;
    const std::vector<BatchItem>& m_items;
    Ending& m_ending;
    DeliveryReports* m_reports = nullptr;
    std::atomic<std::size_t> m_inFlight{0};
};

} // namespace

int sendBatch(const BatchRequest& request, std::vector<BatchItem> items, ParcelSource& source,
              const std::vector<SkippedItem>& skipped, const std::filesystem::path& tokenTable,
              const phone::PhoneSelection& phone)
{
    const Clock::time_point started = Clock::now();
    Ending ending;
    ending.skipped = skipped.size();
    ending.dryRun = request.dryRun;

    // Locked first, so that what it records cannot change while it is read.
    SendLog log;
    if (request.logPath) {
        std::string error;
        const SendLog::Opening opening = log.open(*request.logPath, error);
        if (opening != SendLog::Opening::Opened) {
            printError(error);
            return opening == SendLog::Opening::InUse ? ExitUsage : ExitFailure;
        }
    }
    if (request.resumePath) {
        const ResumeResult resumed = readResumeLog(*request.resumePath);
        if (!resumed.read) {
            printError(resumed.error);
            return ExitFailure;
        }
        LoggedNumbers logged = resumed.numbers;
        if (request.resendUndelivered && !withoutUndelivered(*request.resumePath, logged.sent))
            return ExitFailure;
        ResumePlan plan = planResume(std::move(items), logged, request.resendUncertain);
        items = std::move(plan.toSend);
        ending.alreadySent = plan.alreadySent;
        ending.uncertain = plan.uncertain.size();
        if (plan.alreadySent > 0)
            std::fprintf(stderr, "Skipping %zu recipients that %s records as sent\n",
                         plan.alreadySent, request.resumePath->c_str());
        listUncertain(plan.uncertain, *request.resumePath);
        if (items.empty() && plan.uncertain.empty() && skipped.empty()) {
            printError(closingLine(ending));
            return printOutput("Every recipient is already recorded as sent in " +
                               *request.resumePath + ".\n");
        }
    }
    for (const SkippedItem& item : skipped) {
        if (request.logPath && !log.record(item.number, LogOutcome::Skipped, item.why, item.line)) {
            printError("cannot write the log " + log.path());
            return ExitFailure;
        }
    }
    ending.total = items.size();
    if (items.empty()) {
        // Only uncertain or skipped numbers are left: nothing to reach.
        ending.took = Clock::now() - started;
        return conclude(ending, request);
    }

    ProgressLine progress(items.size(), isatty(STDERR_FILENO) == 1);
    BatchJournal journal(request, log, progress, items, ending);
    StopSignal stop(
        [&journal] {
            std::fprintf(stderr,
                         "\nstopping: waiting for %zu pushes in flight (Ctrl+C again stops "
                         "now; they will be logged as uncertain)\n",
                         journal.inFlight());
        },
        [&journal] {
            std::fprintf(stderr, "stopped now: %zu pushes in flight are uncertain\n",
                         journal.inFlight());
        });

    Sending sending;
    const bool ready =
        phone.kind == phone::PhoneSelection::Kind::Gateway || request.dryRun
            ? prepareGatewaySending(sending, request, items, source, tokenTable, phone,
                                    stop.flag())
            : preparePhoneSending(sending, request, items, source, tokenTable, phone, progress);
    if (!ready)
        return ExitFailure;
    std::atomic<bool> reportLogFailed = false;
    std::unique_ptr<DeliveryReports> reports;
    phone::StatusReportSource* phoneReports =
        request.reports.wanted && sending.device ? sending.device->statusReports() : nullptr;
    if (request.reports.wanted && !sending.gatewaySender && !phoneReports) {
        std::fprintf(stderr, "This phone gives no delivery reports; sending without them\n");
    } else if (request.reports.wanted) {
        for (const auto& [name, value] : phone.gateway.parameters) {
            if (name == "dlr-mask" || name == "dlr-url") {
                printError("--reports sets " + name +
                           " for each message; take it out of the gateway URL");
                return ExitUsage;
            }
        }
        // Each push's messages are counted when it is cut.
        reports = std::make_unique<DeliveryReports>(
            items.size(),
            [&](std::size_t index, phone::DeliveryState state, std::string_view text) {
                if (request.logPath &&
                    !log.record(items[index].number, outcomeOfState(state), text, items[index].line))
                    reportLogFailed = true;
            });
        std::string error;
        if (phoneReports) {
            reports->readFrom(*phoneReports,
                              [&items](std::size_t index) { return items[index].number; });
            sending.link->requestStatusReports(true);
        } else if (!reports->start(request.reports, error)) {
            printError(error);
            return ExitFailure;
        } else {
            sending.gatewaySender->requestReports(
                {[&reports](std::size_t index, std::size_t messages) {
                     reports->expect(index, messages);
                 },
                 [&reports](std::size_t index, std::size_t message) {
                     return reports->callbackUrl(index, message);
                 }});
        }
        journal.followReports(reports.get());
    }

    std::vector<std::string> numbers;
    numbers.reserve(items.size());
    for (const BatchItem& item : items)
        numbers.push_back(item.number);
    const phone::BatchOptions options{sending.jobs, request.keepGoing, &stop.flag(),
                                      request.stopAfter};
    ending.summary = phone::runBatch(*sending.sender, numbers, options, journal.events());
    if (reports && ending.logError.empty()) {
        reports->wait(request.reports.wait, stop.flag(),
                      [&progress](const DeliveryReports::Counts& counts) {
                          progress.reports(counts.delivered, counts.notDelivered, counts.waiting());
                      });
    }
    if (reports) {
        ending.reports = reports->counts();
        reports.reset(); // no report may reach the log after the counts are told
        if (reportLogFailed && ending.logError.empty())
            ending.logError = "cannot write the log " + log.path();
    }
    progress.close();
    ending.signalled = stop.raised() && ending.logError.empty();
    ending.retries = sending.gatewaySender ? sending.gatewaySender->retryCount() : 0;
    ending.took = Clock::now() - started;
    return conclude(ending, request);
}

} // namespace mailvane::cli
