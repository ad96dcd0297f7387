#pragma once

// Every subcommand, in the order the help lists them. Adding one means one
// file, <name>Command.cpp, defining `const Command <name>Command` and listed
// in CMakeLists.txt, and one line here.
#define MAILVANE_CLI_COMMANDS(X)                                                                   \
    X(check)                                                                                       \
    X(summary)                                                                                     \
    X(encode)                                                                                      \
    X(send)                                                                                        \
    X(status)                                                                                      \
    X(contacts)
