#include "BatchSend.h"

#include "BatchRunner.h"
#include "CliSupport.h"
#include "Command.h"
#include "DocumentBuilder.h"
#include "GatewaySender.h"
#include "KannelGateway.h"
#include "LinkSender.h"
#include "PhoneLink.h"
#include "ProgressLine.h"
#include "PushBuilder.h"
#include "Recipients.h"
#include "SendLog.h"
#include "SendingLoop.h"
#include "ServiceObjects.h"
#include "StopSignal.h"
#include "StringTable.h"
#include "TokenTables.h"

#include <memory>
#include <unistd.h>

namespace mailvane::cli {
namespace {

// The push every number of a gateway batch receives; nothing (after saying
// why) when it cannot be built.
std::optional<std::string> buildPush(const settings::EmailSettings& record, std::string_view pin,
                                     const std::filesystem::path& tokenTable)
{
    provisioning::TokenTables tables;
    if (!tables.load(tokenTable)) {
        printError("cannot read the token table " + tokenTable.string());
        return std::nullopt;
    }
    const std::optional<std::string> document = provisioning::buildDocument(record);
    const std::optional<std::string> push =
        document ? provisioning::encodeProvisioningPush(tables, *document, pin) : std::nullopt;
    if (!push)
        printError(settings::stringText(settings::strings::SendingErrorMessage));
    return push;
}

std::vector<std::string> withoutSent(const std::vector<std::string>& numbers,
                                     const std::set<std::string, std::less<>>& logged)
{
    // A log written before numbers were made dialable may hold them as typed.
    std::set<std::string, std::less<>> sent;
    for (const std::string& number : logged)
        sent.insert(settings::dialableNumber(number).value_or(number));
    std::vector<std::string> left;
    for (const std::string& number : numbers) {
        if (!sent.contains(number))
            left.push_back(number);
    }
    return left;
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

int sendBatch(const BatchRequest& request, settings::EmailSettings& record,
              const std::filesystem::path& tokenTable, const phone::PhoneSelection& phone)
{
    std::vector<std::string> numbers = request.numbers;
    if (request.resumePath) {
        const ResumeResult resumed = readResumeLog(*request.resumePath);
        if (!resumed.read) {
            printError(resumed.error);
            return ExitFailure;
        }
        numbers = withoutSent(numbers, resumed.sent);
        const std::size_t skipped = request.numbers.size() - numbers.size();
        if (skipped > 0)
            std::fprintf(stderr, "Skipping %zu recipients that %s records as sent\n", skipped,
                         request.resumePath->c_str());
        if (numbers.empty())
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
    }

    ProgressLine progress(numbers.size(), isatty(STDERR_FILENO) == 1);
    // The back end and its sender; only one pair is used.
    std::unique_ptr<phone::KannelGateway> gateway;
    std::unique_ptr<phone::PhoneLink> link;
    std::unique_ptr<phone::PushSender> sender;
    unsigned jobs = request.jobs;
    if (phone.kind == phone::PhoneSelection::Kind::Gateway) {
        const std::optional<std::string> push = buildPush(record, request.pin, tokenTable);
        if (!push)
            return ExitFailure;
        gateway = std::make_unique<phone::KannelGateway>(phone.gateway);
        auto gatewaySender = std::make_unique<phone::GatewaySender>(*gateway, *push);
        if (gatewaySender->messageCount() == 0) {
            printError(settings::stringText(settings::strings::SendingErrorMessage));
            return ExitFailure;
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
        if (jobs > 1) {
            std::fprintf(stderr, "A phone sends one message at a time; --jobs applies to a "
                                 "gateway (kannel:URL)\n");
            jobs = 1;
        }
        sender = std::make_unique<phone::LinkSender>(*link, record, request.pin);
    }

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
            !log.record(ticket.number, outcome.sent, outcome.answer)) {
            // Without its log a resumed run would repeat or skip numbers.
            report.logError = "cannot write the log " + log.path();
            stop.raise();
        }
        progress.finished(outcome.sent, ticket.number, outcome.answer);
    };
    const phone::BatchSummary summary =
        phone::runBatch(*sender, numbers, {jobs, request.keepGoing, &stop.flag()}, events);
    progress.close();
    return conclude(summary, numbers.size(), request, report, stop.raised());
}

} // namespace mailvane::cli
