#pragma once

// What a subcommand of mailvane-cli declares about itself: the generic
// argument parser checks its operands and options, prints its help, and
// only then calls it.

#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mailvane::cli {

// Exit statuses every subcommand shares.
inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1; // a file or the encoding failed
inline constexpr int ExitUsage = 2;   // the command line was wrong

inline constexpr std::string_view ProgramName = "mailvane-cli";

struct OptionInfo
{
    std::string_view name;      // without the leading "--"
    std::string_view valueName; // empty for a switch, which takes no value
    bool required;
    std::string_view help;
};

// A parsed command line, checked against the command's declaration.
struct Arguments
{
    std::vector<std::string> operands;
    std::map<std::string, std::string, std::less<>> options;
    std::filesystem::path executableDir;

    // The option's value ("" for a switch that was given), or nullptr.
    const std::string* option(std::string_view name) const
    {
        const auto found = options.find(name);
        return found == options.end() ? nullptr : &found->second;
    }
};

struct Command
{
    std::string_view name;
    std::string_view operands; // as shown in the synopsis, e.g. "FILE"
    std::size_t operandCount;
    std::string_view summary; // one line for the program's help
    std::string_view details; // more lines for the command's own help
    std::span<const OptionInfo> options;
    int (*run)(const Arguments&);
};

} // namespace mailvane::cli
