#include "Program.h"

#include "ArgumentParser.h"
#include "CliSupport.h"
#include "Command.h"
#include "CommandList.h"
#include "PinInput.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace mailvane::cli {

#define MAILVANE_DECLARE_COMMAND(name) extern const Command name##Command;
MAILVANE_CLI_COMMANDS(MAILVANE_DECLARE_COMMAND)
#undef MAILVANE_DECLARE_COMMAND

namespace {

#define MAILVANE_LIST_COMMAND(name) &name##Command,
const Command* const Commands[] = {MAILVANE_CLI_COMMANDS(MAILVANE_LIST_COMMAND)};
#undef MAILVANE_LIST_COMMAND

constexpr OptionInfo ProgramOptions[] = {
    {"help", "", false, "show this text and exit ('-h' and 'help' do the same)"},
    {"version", "", false, "print the program's name and version and exit"},
};

std::string versionText()
{
    return std::string(ProgramName) + " " MAILVANE_VERSION "\n";
}

std::string programHelp()
{
    std::string text = "Usage: mailvane-cli COMMAND [ARGUMENTS]\n"
                       "\n"
                       "Prepares e-mail provisioning settings and turns them into the text\n"
                       "messages that carry them to a phone.\n"
                       "\n"
                       "Commands:\n";
    for (const Command* command : Commands) {
        std::string name = "  " + std::string(command->name);
        name.resize(12, ' ');
        text += name + std::string(command->summary) + "\n";
    }
    text += "\nOptions:\n";
    for (const OptionInfo& option : ProgramOptions) {
        std::string name = "  --" + std::string(option.name);
        name.resize(std::max<std::size_t>(name.size() + 2, 12), ' ');
        text += name + std::string(option.help) + "\n";
    }
    text += "\n"
            "Run 'mailvane-cli COMMAND --help' for the arguments of a command.\n"
            "\n"
            "Exit status: 0 on success, 1 when a file cannot be read, is invalid or\n"
            "cannot be encoded, 2 when the command line is wrong.\n";
    return text;
}

int usageError(const std::string& message, const std::string& helpCommand)
{
    printError(message);
    printError("try '" + helpCommand + " --help' for more information");
    return ExitUsage;
}

// Where the program file lies, for the token table beside it; empty when
// /proc/self/exe cannot be read, never a guess from the current folder.
std::filesystem::path executableDir()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error || !self.is_absolute() ? std::filesystem::path() : self.parent_path();
}

} // namespace

std::span<const Command* const> commands()
{
    return Commands;
}

std::span<const OptionInfo> programOptions()
{
    return ProgramOptions;
}

int run(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return usageError("no command given", "mailvane-cli");
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help")
        return printOutput(programHelp());
    if (args[0] == "--version")
        return printOutput(versionText());

    for (const Command* command : Commands) {
        if (command->name != args[0])
            continue;
        ParseOutcome outcome =
            parseArguments(*command, std::vector<std::string>(args.begin() + 1, args.end()));
        switch (outcome.kind) {
        case ParseOutcome::Kind::Help:
            return printOutput(commandHelp(*command));
        case ParseOutcome::Kind::UsageError:
            return usageError(outcome.error, "mailvane-cli " + std::string(command->name));
        case ParseOutcome::Kind::Run:
            break;
        }
        outcome.arguments.executableDir = executableDir();
        if (std::ranges::any_of(command->options,
                                [](const OptionInfo& option) { return option.name == "pin"; })) {
            if (const std::optional<int> failed = takePinInput(outcome.arguments, command->name))
                return *failed;
        }
        return command->run(outcome.arguments);
    }
    return usageError("unknown command '" + args[0] + "'", "mailvane-cli");
}

} // namespace mailvane::cli
