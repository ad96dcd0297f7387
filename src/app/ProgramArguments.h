#pragma once

// The window program's own arguments: at most one FILE, and the options that
// answer without a window. "--" ends the options: every argument after it is
// a file name, even one that starts with "-". Free of Qt: the program file
// reads them before it loads the window's code, and that code reads them again
// once the toolkit has taken its own options.

#include <string>
#include <vector>

namespace mailvane::app {

struct ProgramArguments
{
    enum class Action
    {
        Run,     // show the window, opening `file` when it is not empty
        Help,    // print the usage and end
        Version, // print the version and end
        Refused, // print `problem` and the usage, and end with an error
    };

    Action action = Action::Run;
    std::string file;
    std::string problem;

    // `arguments` without the program name, as bytes. The first of --help
    // and --version before "--" wins over everything else.
    static ProgramArguments parse(const std::vector<std::string>& arguments);
};

} // namespace mailvane::app
