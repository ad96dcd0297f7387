#include "CliSupport.h"
#include "Command.h"
#include "SettingsSummary.h"

namespace mailvane::cli {
namespace {

int runSummary(const Arguments& arguments)
{
    settings::EmailSettings record;
    if (!loadSettings(arguments.operands[0], LoadMode::AsOpened, record))
        return ExitFailure;
    return printOutput(settings::buildSummary(record));
}

} // namespace

extern const Command summaryCommand;
const Command summaryCommand{
    "summary",
    "FILE",
    1,
    "Print the summary of a settings file that is shown before sending.",
    "The file is opened as the window opens it (default ports and server type\n"
    "filled in); passwords are shown as asterisks; lines end in CR LF.\n",
    {},
    runSummary,
};

} // namespace mailvane::cli
