#pragma once

#include "Command.h"

#include <optional>
#include <string>
#include <vector>

namespace mailvane::cli {

struct ParseOutcome
{
    enum class Kind
    {
        Run,
        Help,
        UsageError
    } kind = Kind::Run;
    Arguments arguments;
    std::string error; // for UsageError
};

// Checks `args` (what follows the command name) against `command`: options
// as "--name VALUE" or "--name=VALUE", switches as "--name", each at most
// once, the required ones
// present; exactly the declared number of operands; "--" ends the options;
// "--help" anywhere asks for the command's help.
ParseOutcome parseArguments(const Command& command, const std::vector<std::string>& args);

// The command's own help text.
std::string commandHelp(const Command& command);

// "Usage: mailvane-cli NAME OPERANDS OPTIONS"
std::string commandSynopsis(const Command& command);

} // namespace mailvane::cli
