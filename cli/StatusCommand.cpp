#include "CliSupport.h"
#include "Command.h"
#include "LogStatus.h"

#include <array>
#include <cstdio>

namespace mailvane::cli {
namespace {

struct StateLine
{
    NumberState state;
    std::string_view label;
};

constexpr std::array<StateLine, 7> StateLines = {{
    {NumberState::Delivered, "delivered"},
    {NumberState::NotDelivered, "not delivered"},
    {NumberState::Accepted, "accepted by the SMSC, no word from the phone"},
    {NumberState::NoReport, "sent, no report"},
    {NumberState::Failed, "failed"},
    {NumberState::Skipped, "skipped"},
    {NumberState::Uncertain, "uncertain (started, never ended)"},
}};

std::string numberList(std::string_view heading, const std::vector<std::string>& numbers)
{
    if (numbers.empty())
        return {};
    std::string text = "\n" + std::string(heading) + ":\n";
    for (const std::string& number : numbers)
        text += "  " + number + "\n";
    return text;
}

int runStatus(const Arguments& arguments)
{
    const std::string& path = arguments.operands[0];
    const LogStatusResult result = readLogStatusFile(path);
    if (!result.read) {
        printError(result.error);
        return ExitFailure;
    }
    const LogStatus& status = result.status;
    std::string text = path + ": " + std::to_string(status.numbers.size()) + " numbers\n";
    for (const StateLine& line : StateLines) {
        char row[96];
        std::snprintf(row, sizeof row, "%8zu  %.*s\n", status.count(line.state),
                      static_cast<int>(line.label.size()), line.label.data());
        text += row;
    }
    text += numberList("Not delivered", status.numbersIn(NumberState::NotDelivered));
    text += numberList("Without a report", status.numbersIn(NumberState::NoReport));
    return printOutput(text);
}

} // namespace

extern const Command statusCommand;
const Command statusCommand{
    "status",
    "LOG",
    1,
    "Count where the numbers of a send log stand, by its delivery reports.",
    "Reads a log written by send --log, also one written without --reports, and\n"
    "prints how many numbers were delivered, not delivered, accepted by the SMSC\n"
    "only, sent without a report, failed and skipped, then the numbers not\n"
    "delivered and the numbers without a report. The last line about a number\n"
    "counts, so a log that resumed runs appended to tells the latest state.\n"
    "send --resume LOG --resend-undelivered sends again to the numbers not\n"
    "delivered.\n",
    {},
    runStatus,
};

} // namespace mailvane::cli
