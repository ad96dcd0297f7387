#include "ManualPage.h"
#include "ArgumentParser.h"
#include "Program.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using mailvane::cli::Command;
using mailvane::cli::OptionInfo;
using mailvane::test::ManualPage;

namespace {

const char* const PageFile = "cli/mailvane-cli.1.in";

std::set<std::string> longNames(std::span<const OptionInfo> options)
{
    std::set<std::string> names;
    for (const OptionInfo& option : options)
        names.insert("--" + std::string(option.name));
    return names;
}

// Names what one set holds and the other does not, as a person fixing it needs.
void expectSameOptions(const std::string& where, const std::set<std::string>& parser,
                       const std::set<std::string>& page)
{
    for (const std::string& option : parser) {
        EXPECT_TRUE(page.contains(option))
            << "mailvane-cli " << where << " " << option
            << ": known to the parser, not described in " << PageFile;
    }
    for (const std::string& option : page) {
        EXPECT_TRUE(parser.contains(option))
            << "mailvane-cli " << where << " " << option << ": described in " << PageFile
            << ", unknown to the parser";
    }
}

ManualPage loadPage()
{
    ManualPage page = ManualPage::load(std::string(MAILVANE_SOURCE_DIR) + "/" + PageFile);
    EXPECT_TRUE(page.read) << PageFile;
    return page;
}

} // namespace

TEST(CliManualPage, describesEveryOptionOfEveryCommandAndNoOther)
{
    const ManualPage page = loadPage();
    std::set<std::string> commandNames;
    for (const Command* command : mailvane::cli::commands()) {
        const std::string name(command->name);
        commandNames.insert(name);
        EXPECT_TRUE(page.subsections.contains(name))
            << "the command " << name << " has no subsection (.SS " << name << ") in " << PageFile;
        const auto described = page.defined.find(name);
        expectSameOptions(name, longNames(command->options),
                          described == page.defined.end() ? std::set<std::string>()
                                                          : described->second);
    }
    for (const std::string& subsection : page.subsections)
        EXPECT_TRUE(commandNames.contains(subsection))
            << PageFile << " describes a command " << subsection << " the program does not have";
}

// What the page says of each command agrees with the parser's table: the
// synopsis as --help prints it, and the value each option takes.
TEST(CliManualPage, showsEachCommandAndOptionAsTheParserTakesIt)
{
    ManualPage page = loadPage();
    for (const Command* command : mailvane::cli::commands()) {
        const std::string name(command->name);
        SCOPED_TRACE(name);
        const std::string usage = mailvane::cli::commandSynopsis(*command);
        EXPECT_EQ("Usage: " + page.synopses[name], usage);
        for (const OptionInfo& option : command->options) {
            const std::string tag = "--" + std::string(option.name);
            EXPECT_EQ(page.valueNames[name][tag], option.valueName) << tag;
        }
    }
}

TEST(CliManualPage, describesTheProgramOptions)
{
    const ManualPage page = loadPage();
    std::set<std::string> parser = longNames(mailvane::cli::programOptions());
    parser.insert("-h"); // the short form the program takes for --help
    const auto described = page.defined.find("OPTIONS");
    ASSERT_NE(described, page.defined.end()) << PageFile << " has no OPTIONS section";
    expectSameOptions("", parser, described->second);
}

TEST(CliManualPage, mentionsOnlyOptionsTheProgramHas)
{
    const ManualPage page = loadPage();
    std::set<std::string> known = longNames(mailvane::cli::programOptions());
    for (const Command* command : mailvane::cli::commands())
        known.merge(longNames(command->options));
    for (const std::string& option : page.mentioned)
        EXPECT_TRUE(known.contains(option))
            << PageFile << " mentions " << option << ", which no command of mailvane-cli takes";
}
