#pragma once

// The options of the window program, read before Qt starts so that --help and
// --version answer without a display. The usage text, the parser in main()
// and the manual page mailvane(1) follow this table.

#include <array>
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

} // namespace mailvane::app
