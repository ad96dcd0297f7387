#include "NeededTool.h"
#include "Program.h"
#include "TempDir.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

using mailvane::cli::Command;
using mailvane::cli::OptionInfo;

namespace {

const char* const ScriptFile = "cli/mailvane-cli.bash";
const char* const BashCompletion = "/usr/share/bash-completion/bash_completion";

// Asks the completion what it offers for `line` (the cursor at its end),
// typed in `folder`. Words are split as bash splits them for completion: at
// blanks, and around ":" and "=".
std::set<std::string> complete(const std::string& line, const std::filesystem::path& folder)
{
    const std::filesystem::path script = folder / ".complete.sh";
    {
        std::ofstream out(script);
        out << "source " << BashCompletion << "\n"
            << "source '" << MAILVANE_SOURCE_DIR << "/" << ScriptFile << "'\n"
            << "COMP_LINE='" << line << "'\n"
            << "COMP_POINT=${#COMP_LINE}\n"
            << "read -ra COMP_WORDS <<<\"$(sed 's/[:=]/ & /g' <<<\"$COMP_LINE\")\"\n"
            << "[[ $COMP_LINE == *' ' ]] && COMP_WORDS+=('')\n"
            << "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
            << "_mailvane_cli\n"
            << "printf '%s\\n' \"${COMPREPLY[@]}\"\n";
    }
    const std::string command =
        "cd '" + folder.string() + "' && bash --norc " + script.string() + " 2>&1";
    std::set<std::string> offered;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return offered;
    char buffer[512];
    std::string word;
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        word = buffer;
        if (!word.empty() && word.back() == '\n')
            word.pop_back();
        if (!word.empty())
            offered.insert(word);
    }
    ::pclose(pipe);
    std::filesystem::remove(script);
    return offered;
}

std::set<std::string> longNames(std::span<const OptionInfo> options)
{
    std::set<std::string> names;
    for (const OptionInfo& option : options)
        names.insert("--" + std::string(option.name));
    return names;
}

void expectSame(const std::string& line, const std::set<std::string>& parser,
                const std::set<std::string>& offered, const char* script = ScriptFile)
{
    for (const std::string& word : parser)
        EXPECT_TRUE(offered.contains(word)) << "'" << line << "': the parser knows " << word << ", "
                                            << script << " does not offer it";
    for (const std::string& word : offered)
        EXPECT_TRUE(parser.contains(word)) << "'" << line << "': " << script << " offers " << word
                                           << ", which the parser does not know";
}

class Completion : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MAILVANE_NEED_TOOL(std::filesystem::exists(BashCompletion),
                           "bash-completion is not installed (scripts/setup installs it)");
        std::ofstream(m_folder / "settings.txt") << "#E-Mail Settings File\r\n";
        std::filesystem::create_directory(m_folder / "phone");
    }

    std::set<std::string> offered(const std::string& line)
    {
        return complete(line, m_folder.path());
    }

    mailvane::test::TempDir m_folder;
};

} // namespace

TEST_F(Completion, offersTheCommandsAndProgramOptionsTheParserKnows)
{
    std::set<std::string> commands;
    for (const Command* command : mailvane::cli::commands())
        commands.insert(std::string(command->name));
    expectSame("mailvane-cli ", commands, offered("mailvane-cli "));
    expectSame("mailvane-cli --", longNames(mailvane::cli::programOptions()),
               offered("mailvane-cli --"));
}

TEST_F(Completion, offersEveryOptionOfEachCommandAndNoOther)
{
    for (const Command* command : mailvane::cli::commands()) {
        const std::string line = "mailvane-cli " + std::string(command->name) + " --";
        std::set<std::string> options = longNames(command->options);
        options.insert("--help");
        expectSame(line, options, offered(line));
    }
}

// After an option the completion offers what its value may be: files for a
// path, nothing for a number or a PIN, and after a switch what comes next.
TEST_F(Completion, offersFilesOnlyWhereAFileBelongs)
{
    for (const Command* command : mailvane::cli::commands()) {
        for (const OptionInfo& option : command->options) {
            const std::string line = "mailvane-cli " + std::string(command->name) + " --" +
                                     std::string(option.name) + " ";
            const std::string value(option.valueName);
            const bool fileValue =
                value == "PATH" || value == "FILE" || value == "LIST" || value == "TABLE";
            const bool nextIsOperand = value.empty() && command->operandCount > 0;
            EXPECT_EQ(offered(line).contains("settings.txt"), fileValue || nextIsOperand)
                << "'" << line << "' (value " << (value.empty() ? "none" : value) << ")";
        }
    }
}

TEST_F(Completion, offersFormatsAndPhoneForms)
{
    struct Case
    {
        std::string line;
        std::string expected;
    };
    const Case cases[] = {
        {"mailvane-cli encode settings.txt --format pu", "push"},
        {"mailvane-cli encode settings.txt --format=mes", "messages"},
        {"mailvane-cli contacts --phone ", "none"},
        {"mailvane-cli contacts --phone ka", "kannel:http://"},
        // bash puts back only what follows the ":" it split at.
        {"mailvane-cli send settings.txt --phone sim:ph", "phone/"},
        {"mailvane-cli send settings.txt --phone=sim:", "phone/"},
    };
    for (const Case& c : cases) {
        const auto words = offered(c.line);
        EXPECT_TRUE(words.contains(c.expected))
            << "'" << c.line << "' does not offer " << c.expected << " (" << words.size()
            << " offered)";
    }
}

namespace {

const char* const ZshScriptFile = "cli/mailvane-cli.zsh";

// Asks zsh's completion (through tests/cli/zsh_complete.zsh, on a
// pseudo-terminal) what it offers for each of `lines`, typed in `folder`.
std::vector<std::set<std::string>> completeInZsh(const std::vector<std::string>& lines,
                                                 const std::filesystem::path& folder)
{
    // zsh finds a completion function by its file name.
    const std::filesystem::path functions = folder / ".zsh-functions";
    std::filesystem::create_directory(functions);
    std::filesystem::copy_file(std::filesystem::path(MAILVANE_SOURCE_DIR) / ZshScriptFile,
                               functions / "_mailvane-cli",
                               std::filesystem::copy_options::overwrite_existing);
    std::string command = "timeout 120 zsh -f '" MAILVANE_SOURCE_DIR
                          "/tests/cli/zsh_complete.zsh' '" +
                          functions.string() + "' '" + folder.string() + "'";
    for (const std::string& line : lines)
        command += " '" + line + "'";
    std::vector<std::set<std::string>> offers(1);
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return {};
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        std::string word = buffer;
        if (!word.empty() && word.back() == '\n')
            word.pop_back();
        if (word == "--end--")
            offers.emplace_back();
        else if (!word.empty())
            offers.back().insert(word);
    }
    ::pclose(pipe);
    offers.pop_back(); // after the last line's end
    return offers;
}

class ZshCompletion : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MAILVANE_NEED_TOOL(std::filesystem::exists("/usr/bin/zsh"),
                           "zsh is not installed (scripts/setup installs it)");
        std::ofstream(m_folder / "settings.txt") << "#E-Mail Settings File\r\n";
        std::filesystem::create_directory(m_folder / "phone");
    }

    std::vector<std::set<std::string>> offered(const std::vector<std::string>& lines)
    {
        std::vector<std::set<std::string>> offers = completeInZsh(lines, m_folder.path());
        EXPECT_EQ(offers.size(), lines.size()) << "zsh did not answer every line";
        offers.resize(lines.size());
        return offers;
    }

    mailvane::test::TempDir m_folder;
};

} // namespace

TEST_F(ZshCompletion, offersTheCommandsAndOptionsTheParserKnowsAndNoOther)
{
    std::vector<std::string> lines = {"mailvane-cli ", "mailvane-cli --"};
    std::vector<std::set<std::string>> expected(2);
    for (const Command* command : mailvane::cli::commands()) {
        expected[0].insert(std::string(command->name));
        lines.push_back("mailvane-cli " + std::string(command->name) + " --");
        expected.push_back(longNames(command->options));
        expected.back().insert("--help");
    }
    expected[1] = longNames(mailvane::cli::programOptions());

    const std::vector<std::set<std::string>> offers = offered(lines);
    for (std::size_t i = 0; i < lines.size(); ++i)
        expectSame(lines[i], expected[i], offers[i], ZshScriptFile);
}

// After an option: files for a path, nothing for a number or a PIN, the
// fixed values where there are some, and after a switch the settings FILE.
TEST_F(ZshCompletion, offersFilesOnlyWhereAFileBelongsAndTheFixedValues)
{
    struct Expected
    {
        std::string line;
        bool file;
        std::string word; // offered too, when not empty
    };
    std::vector<Expected> cases;
    for (const Command* command : mailvane::cli::commands()) {
        for (const OptionInfo& option : command->options) {
            const std::string value(option.valueName);
            const bool fileValue =
                value == "PATH" || value == "FILE" || value == "LIST" || value == "TABLE";
            const bool nextIsOperand = value.empty() && command->operandCount > 0;
            cases.push_back({"mailvane-cli " + std::string(command->name) + " --" +
                                 std::string(option.name) + " ",
                             fileValue || nextIsOperand,
                             {}});
        }
    }
    cases.push_back({"mailvane-cli encode settings.txt --format pu", false, "push"});
    cases.push_back({"mailvane-cli encode settings.txt --security net", false, "netwpin"});
    cases.push_back({"mailvane-cli contacts --phone ", false, "none"});
    cases.push_back({"mailvane-cli contacts --phone ka", false, "kannel:http://"});
    cases.push_back({"mailvane-cli send settings.txt --phone sim:", false, "phone"});

    std::vector<std::string> lines;
    for (const Expected& c : cases)
        lines.push_back(c.line);
    const std::vector<std::set<std::string>> offers = offered(lines);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(offers[i].contains("settings.txt"), cases[i].file) << "'" << cases[i].line << "'";
        if (!cases[i].word.empty()) {
            EXPECT_TRUE(offers[i].contains(cases[i].word))
                << "'" << cases[i].line << "' does not offer " << cases[i].word;
        }
    }
}
