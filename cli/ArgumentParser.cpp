#include "ArgumentParser.h"

#include <algorithm>

namespace mailvane::cli {
namespace {

constexpr std::size_t HelpColumn = 24;

const OptionInfo* findOption(const Command& command, std::string_view name)
{
    const auto found = std::ranges::find(command.options, name, &OptionInfo::name);
    return found == command.options.end() ? nullptr : &*found;
}

ParseOutcome usageError(std::string message)
{
    ParseOutcome outcome;
    outcome.kind = ParseOutcome::Kind::UsageError;
    outcome.error = std::move(message);
    return outcome;
}

} // namespace

ParseOutcome parseArguments(const Command& command, const std::vector<std::string>& args)
{
    ParseOutcome outcome;
    Arguments& parsed = outcome.arguments;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || !arg.starts_with("-")) {
            parsed.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            outcome.kind = ParseOutcome::Kind::Help;
            return outcome;
        }
        if (!arg.starts_with("--"))
            return usageError("unknown option '" + arg + "'");

        const std::size_t equals = arg.find('=');
        const std::string name =
            arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const OptionInfo* spec = findOption(command, name);
        if (!spec)
            return usageError("unknown option '--" + name + "'");
        if (parsed.options.contains(name))
            return usageError("option '--" + name + "' is given more than once");
        if (spec->valueName.empty()) {
            if (equals != std::string::npos)
                return usageError("option '--" + name + "' takes no value");
            parsed.options[name] = std::string();
        } else if (equals != std::string::npos) {
            parsed.options[name] = arg.substr(equals + 1);
        } else {
            if (i + 1 >= args.size())
                return usageError("option '--" + name + "' needs a value (" +
                                  std::string(spec->valueName) + ")");
            parsed.options[name] = args[++i];
        }
    }

    for (const OptionInfo& spec : command.options) {
        if (spec.required && !parsed.options.contains(spec.name))
            return usageError("option '--" + std::string(spec.name) + "' is required");
    }
    if (parsed.operands.size() != command.operandCount) {
        if (parsed.operands.size() < command.operandCount)
            return usageError("missing " + std::string(command.operands));
        return usageError("unexpected argument '" + parsed.operands[command.operandCount] + "'");
    }
    return outcome;
}

std::string commandSynopsis(const Command& command)
{
    std::string text = "Usage: " + std::string(ProgramName) + " " + std::string(command.name);
    if (!command.operands.empty())
        text += " " + std::string(command.operands);
    for (const OptionInfo& spec : command.options) {
        std::string option = "--" + std::string(spec.name);
        if (!spec.valueName.empty())
            option += " " + std::string(spec.valueName);
        text += spec.required ? " " + option : " [" + option + "]";
    }
    return text;
}

std::string commandHelp(const Command& command)
{
    std::string text = commandSynopsis(command) + "\n\n" + std::string(command.summary) + "\n";
    if (!command.details.empty())
        text += "\n" + std::string(command.details);
    text += "\nOptions:\n";
    for (const OptionInfo& spec : command.options) {
        std::string left = "  --" + std::string(spec.name);
        if (!spec.valueName.empty())
            left += " " + std::string(spec.valueName);
        left.resize(std::max<std::size_t>(left.size() + 2, HelpColumn), ' ');
        text += left + std::string(spec.help) + "\n";
    }
    std::string left = "  --help";
    left.resize(HelpColumn, ' ');
    text += left + "show this text\n";
    return text;
}

} // namespace mailvane::cli
