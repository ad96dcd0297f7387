#pragma once

#include "Command.h"

#include <span>

namespace mailvane::cli {

// Runs mailvane-cli with the program's command line; returns its exit status.
int run(int argc, char** argv);

// Every subcommand, in the order the help lists them.
std::span<const Command* const> commands();

// The options taken before (instead of) a command: --help and --version.
std::span<const OptionInfo> programOptions();

} // namespace mailvane::cli
