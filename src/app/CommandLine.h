#pragma once

// The window program's own arguments: at most one FILE, and the options that
// answer without a window. "--" ends the options: every argument after it is
// a file name, even one that starts with "-".

#include <QString>
#include <QStringList>

namespace mailvane::app {

struct CommandLine
{
    enum class Action
    {
        Run,     // show the window, opening `file` when it is not empty
        Help,    // print the usage and end
        Version, // print the version and end
        Refused, // print `problem` and the usage, and end with an error
    };

    Action action = Action::Run;
    QString file;
    QString problem;

    // `arguments` without the program name, as the user gave them (after the
    // toolkit has taken its own options from before any "--"). The first of
    // --help and --version before "--" wins over everything else.
    static CommandLine parse(const QStringList& arguments);
};

} // namespace mailvane::app
