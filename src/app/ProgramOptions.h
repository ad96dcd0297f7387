#pragma once

// The options of the window program, read before Qt or anything else is
// loaded, so that --help and --version answer at once and without a display.
// The usage text, the program file's own reading of its arguments (main.cpp),
// CommandLine and the manual page mailvane(1) follow this table.

#include <array>
#include <string>
#include <string_view>

namespace mailvane::app {

enum class ProgramOption
{
    Help,
    Version,
};

struct ProgramOptionInfo
{
    ProgramOption option;
    std::string_view shortName;
    std::string_view longName;
    std::string_view help;
};

inline constexpr std::array<ProgramOptionInfo, 2> ProgramOptions = {{
    {ProgramOption::Help, "-h", "--help", "show this text and exit"},
    {ProgramOption::Version, "-v", "--version", "show the version and exit"},
}};

// Ends the options: what follows is FILE, even when it starts with "-".
inline constexpr std::string_view EndOfOptions = "--";

// The table's entry named `argument` (short or long), or null.
inline const ProgramOptionInfo* findProgramOption(std::string_view argument)
{
    for (const ProgramOptionInfo& info : ProgramOptions) {
        if (argument == info.shortName || argument == info.longName)
            return &info;
    }
    return nullptr;
}

inline std::string programUsage()
{
    std::string text = "Usage: mailvane [FILE]\n"
                       "Prepares the e-mail settings of one mailbox and sends them to phones.\n"
                       "FILE, when given, is a settings file opened at start-up; when Mailvane\n"
                       "already runs on this display, that window opens it instead.\n"
                       "\n";
    for (const ProgramOptionInfo& info : ProgramOptions) {
        std::string names = "  " + std::string(info.shortName) + ", " + std::string(info.longName);
        names.resize(17, ' ');
        text += names + std::string(info.help) + "\n";
    }
    text += "  --             what follows is FILE, even when it starts with \"-\"\n"
            "\nWithout a graphical session use mailvane-cli.\n";
    return text;
}

// The window's code is a module the program file loads (WindowMain.cpp):
// this is the function it calls there, with the program's command line.
inline constexpr const char* WindowEntryName = "mailvane_window_main";
using WindowEntry = int (*)(int argc, char** argv);

} // namespace mailvane::app
