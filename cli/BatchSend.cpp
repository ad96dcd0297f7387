#include "BatchSend.h"

#include "BatchRunner.h"
#include "CliSupport.h"
#include "Command.h"
#include "DocumentBuilder.h"
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

#include <algorithm>
#include <atomic>
#include <memory>
#include <unistd.h>

namespace mailvane::cli {
namespace {

// Builds the pushes that a gateway needs and the caller left empty; false
// (after saying why) when one cannot be built.
bool buildMissingPushes(std::vector<Parcel>& parcels, const std::filesystem::path& tokenTable)
{
    provisioning::TokenTables tables;
    bool loaded = false;
    for (Parcel& parcel : parcels) {
        if (!parcel.push.empty())
            continue;
        if (!loaded && !tables.load(tokenTable)) {
            printError("cannot read the token table " + tokenTable.string());
            return false;
        }
        loaded = true;
        const std::optional<std::string> document = provisioning::buildDocument(parcel.record);
        const std::optional<std::string> push =
            document ? provisioning::encodeProvisioningPush(tables, *document, parcel.security)
                     : std::nullopt;
        if (!push) {
            printError(settings::stringText(settings::strings::SendingErrorMessage));
            return false;
        }
        parcel.push = *push;
    }
    return true;
}

std::vector<BatchItem> withoutSent(const std::vector<BatchItem>& items,
                                   const std::set<std::string, std::less<>>& logged)
{
    // A log written before numbers were made dialable may hold them as typed.
    std::set<std::string, std::less<>> sent;
    for (const std::string& number : logged)
        sent.insert(settings::dialableNumber(number).value_or(number));
    std::vector<BatchItem> left;
    for (const BatchItem& item : items) {
        if (!sent.contains(item.number))
            left.push_back(item);
    }
    return left;
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

// "D delivered, N not delivered, A accepted by the SMSC only, R no report".
std::string reportCounts(const DeliveryReports::Counts& counts)
{
    return std::to_string(counts.delivered) + " delivered, " + std::to_string(counts.notDelivered) +
           " not delivered, " + std::to_string(counts.accepted) + " accepted by the SMSC only, " +
           std::to_string(counts.noReport()) + " no report";
}

struct Report
{
    std::string firstFailure;
    std::string logError;
};

int conclude(const phone::BatchSummary& summary, std::size_t total, const BatchRequest& request,
             const Report& report, bool stopSignalled)
{
    const std::string counts =
        std::to_string(summary.sent) + " of " + std::to_string(total) + " recipients sent";
    if (!report.logError.empty()) {
        printError(report.logError + "; stopped with " + counts);
        return ExitFailure;
    }
    if (stopSignalled && summary.notStarted > 0) {
        std::string text = "stopped: " + counts + ", " + std::to_string(summary.failed) +
                           " failed, " + std::to_string(summary.notStarted) + " not started";
        if (request.logPath)
            text += "; run again with --resume " + *request.logPath + " to send the rest";
        printError(text);
        return ExitInterrupted;
    }
    if (summary.allSent(total))
        return printOutput(
            std::string(settings::stringText(settings::strings::SettingsSentMessage)) + "\n");
    if (request.keepGoing) {
        printError(std::to_string(summary.failed) + " of " + std::to_string(total) +
                   " recipients failed (" + counts + "); the first: " + report.firstFailure);
        return ExitFailure;
    }
    printError(report.firstFailure + "; " + counts);
    return ExitFailure;
}

} // namespace

int sendBatch(const BatchRequest& request, std::vector<BatchItem> items, ParcelSource& source,
              const std::vector<SkippedItem>& skipped, const std::filesystem::path& tokenTable,
              const phone::PhoneSelection& phone)
{
    if (request.resumePath) {
        const ResumeResult resumed = readResumeLog(*request.resumePath);
        if (!resumed.read) {
            printError(resumed.error);
            return ExitFailure;
        }
        std::set<std::string, std::less<>> sent = resumed.sent;
        if (request.resendUndelivered && !withoutUndelivered(*request.resumePath, sent))
            return ExitFailure;
        const std::size_t before = items.size();
        items = withoutSent(items, sent);
        if (before > items.size())
            std::fprintf(stderr, "Skipping %zu recipients that %s records as sent\n",
                         before - items.size(), request.resumePath->c_str());
        if (items.empty())
            return printOutput("Every recipient is already recorded as sent in " +
                               *request.resumePath + ".\n");
    }

    SendLog log;
    if (request.logPath) {
        std::string error;
        if (!log.open(*request.logPath, error)) {
            printError(error);
            return ExitFailure;
        }
        for (const SkippedItem& item : skipped) {
            if (!log.record(item.number, LogOutcome::Skipped, item.why, item.line)) {
                printError("cannot write the log " + log.path());
                return ExitFailure;
            }
        }
    }

    ProgressLine progress(items.size(), isatty(STDERR_FILENO) == 1);
    // The back end and its sender; only one pair is used.
    std::unique_ptr<phone::SmsGateway> gateway;
    std::unique_ptr<phone::PhoneLink> link;
    std::unique_ptr<phone::PushSender> sender;
    std::atomic<bool> reportLogFailed = false;
    std::unique_ptr<DeliveryReports> reports;
    unsigned jobs = request.jobs;
    std::vector<Parcel> parcels; // a gateway's, all at once
    if (phone.kind == phone::PhoneSelection::Kind::Gateway) {
        parcels = source.takeAll(items);
        if (parcels.empty() || !buildMissingPushes(parcels, tokenTable))
            return ExitFailure;
        // A gateway URL was read by the back ends' module, so it is loaded.
        const phone::PhoneModuleFunctions* module = phone::phoneModule();
        if (!module)
            return ExitFailure;
        gateway = module->createGateway(phone.gateway);
        std::vector<std::string> pushes;
        pushes.reserve(parcels.size());
        for (Parcel& parcel : parcels)
            pushes.push_back(std::move(parcel.push));
        std::vector<std::size_t> pushOfNumber;
        pushOfNumber.reserve(items.size());
        for (const BatchItem& item : items)
            pushOfNumber.push_back(item.parcel);
        auto gatewaySender =
            std::make_unique<phone::GatewaySender>(*gateway, pushes, std::move(pushOfNumber));
        if (!gatewaySender->ready()) {
            printError(settings::stringText(settings::strings::SendingErrorMessage));
            return ExitFailure;
        }
        if (request.reports.wanted) {
            for (const auto& [name, value] : phone.gateway.parameters) {
                if (name == "dlr-mask" || name == "dlr-url") {
                    printError("--reports sets " + name +
                               " for each message; take it out of the gateway URL");
                    return ExitUsage;
                }
            }
            std::vector<std::size_t> messagesPerPush;
            messagesPerPush.reserve(items.size());
            for (std::size_t index = 0; index < items.size(); ++index)
                messagesPerPush.push_back(gatewaySender->messageCount(index));
            reports = std::make_unique<DeliveryReports>(
                messagesPerPush,
                [&](std::size_t index, phone::DeliveryState state, std::string_view text) {
                    if (request.logPath && !log.record(items[index].number, outcomeOfState(state),
                                                       text, items[index].line))
                        reportLogFailed = true;
                });
            std::string error;
            if (!reports->start(request.reports, error)) {
                printError(error);
                return ExitFailure;
            }
            gatewaySender->requestReports([&reports](std::size_t index, std::size_t message) {
                return reports->callbackUrl(index, message);
            });
        }
        sender = std::move(gatewaySender);
    } else {
        phone::registerPhoneService(phone::createPhoneDevice(phone));
        link = std::make_unique<phone::PhoneLink>(tokenTable);
        if (!link->tokenTableLoaded()) {
            printError("cannot read the token table " + tokenTable.string());
            return ExitFailure;
        }
        link->setMessageProgress([&progress](unsigned message, unsigned count) {
            progress.note("  message " + std::to_string(message) + " of " + std::to_string(count));
        });
        if (request.reports.wanted)
            std::fprintf(stderr, "This phone gives no delivery reports; sending without "
                                 "them\n");
        if (jobs > 1) {
            std::fprintf(stderr, "A phone sends one message at a time; --jobs applies to a "
                                 "gateway (kannel:URL)\n");
            jobs = 1;
        }
        sender = std::make_unique<phone::LinkSender>(*link, [&](std::size_t index) {
            Parcel* parcel = source.parcel(items.at(index).parcel);
            return parcel ? phone::LinkParcel{&parcel->record, &parcel->security}
                          : phone::LinkParcel{};
        });
    }

    std::vector<std::string> numbers;
    numbers.reserve(items.size());
    for (const BatchItem& item : items)
        numbers.push_back(item.number);

    StopSignal stop;
    Report report;
    phone::BatchEvents events;
    events.starting = [&progress](const phone::PushTicket& ticket) {
        progress.starting(ticket.index, ticket.number);
    };
    events.finished = [&](const phone::PushTicket& ticket, const phone::PushOutcome& outcome) {
        if (!outcome.sent && report.firstFailure.empty())
            report.firstFailure = ticket.number + ": " + outcome.answer;
        if (request.logPath && report.logError.empty() &&
            !log.record(ticket.number, outcome.sent ? LogOutcome::Sent : LogOutcome::Failed,
                        outcome.answer, items[ticket.index].line)) {
            // Without its log a resumed run would repeat or skip numbers.
            report.logError = "cannot write the log " + log.path();
            stop.raise();
        }
        if (reports) {
            if (outcome.sent)
                reports->sent(ticket.index);
            else
                reports->failed(ticket.index);
            const DeliveryReports::Counts counts = reports->counts();
            progress.reports(counts.delivered, counts.notDelivered, counts.waiting());
        }
        progress.finished(outcome.sent, ticket.number, outcome.answer);
    };
    const phone::BatchSummary summary =
        phone::runBatch(*sender, numbers, {jobs, request.keepGoing, &stop.flag()}, events);
    if (reports && report.logError.empty()) {
        reports->wait(request.reports.wait, stop.flag(),
                      [&progress](const DeliveryReports::Counts& counts) {
                          progress.reports(counts.delivered, counts.notDelivered, counts.waiting());
                      });
    }
    progress.close();
    if (!reports)
        return conclude(summary, items.size(), request, report, stop.raised());
    const DeliveryReports::Counts counts = reports->counts();
    reports.reset(); // no report may reach the log after the counts are told
    if (reportLogFailed)
        report.logError = "cannot write the log " + log.path();
    const int status = conclude(summary, items.size(), request, report, stop.raised());
    std::fprintf(status == ExitSuccess ? stdout : stderr, "Delivery reports: %s\n",
                 reportCounts(counts).c_str());
    if (status != ExitSuccess)
        return status;
    // A push reported not delivered did not reach its phone: not a success.
    if (counts.notDelivered > 0) {
        printError(std::to_string(counts.notDelivered) + " of " + std::to_string(counts.sent) +
                   " recipients were reported not delivered" +
                   (request.logPath ? "; --resume " + *request.logPath +
                                          " --resend-undelivered sends to them again"
                                    : std::string()));
        return ExitFailure;
    }
    return status;
}

} // namespace mailvane::cli
