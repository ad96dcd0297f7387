#include "CliSupport.h"
#include "Command.h"
#include "SettingsFileWriter.h"

namespace mailvane::cli {
namespace {

int runCheck(const Arguments& arguments)
{
    settings::EmailSettings record;
    if (!loadSettings(arguments.operands[0], LoadMode::AsWritten, record))
        return ExitFailure;
    return printOutput(settings::settingsFileText(record));
}

} // namespace

extern const Command checkCommand;
const Command checkCommand{
    "check",
    "FILE",
    1,
    "Read a settings file and print it as Mailvane writes it.",
    "The file is read into an empty record, without the defaults the window adds,\n"
    "and printed with CR LF line ends. An invalid file is reported with the number\n"
    "of the line that makes it invalid.\n",
    {},
    runCheck,
};

} // namespace mailvane::cli
