#include "ArgumentParser.h"

#include <gtest/gtest.h>

using namespace mailvane::cli;

namespace {

int runNothing(const Arguments&)
{
    return ExitSuccess;
}

constexpr OptionInfo Options[] = {
    {"pin", "PIN", true, "the PIN"},
    {"to", "NUMBERS", false, "recipients"},
    {"dry-run", "", false, "a switch"},
};

const Command Demo{"demo", "FILE", 1, "Demonstrates.", "", Options, runNothing};

ParseOutcome parse(std::vector<std::string> args)
{
    return parseArguments(Demo, args);
}

} // namespace

TEST(ArgumentParser, optionsSwitchesAndOperandsInAnyOrder)
{
    const ParseOutcome outcome = parse({"--dry-run", "--to=1;2", "f.txt", "--pin", "-5"});
    ASSERT_EQ(outcome.kind, ParseOutcome::Kind::Run) << outcome.error;
    EXPECT_EQ(outcome.arguments.operands, std::vector<std::string>{"f.txt"});
    EXPECT_EQ(*outcome.arguments.option("pin"), "-5");
    EXPECT_EQ(*outcome.arguments.option("to"), "1;2");
    EXPECT_EQ(*outcome.arguments.option("dry-run"), "");
}

TEST(ArgumentParser, absentOptionalOptionIsNull)
{
    const ParseOutcome outcome = parse({"f.txt", "--pin", "1"});
    ASSERT_EQ(outcome.kind, ParseOutcome::Kind::Run);
    EXPECT_EQ(outcome.arguments.option("to"), nullptr);
    EXPECT_EQ(outcome.arguments.option("dry-run"), nullptr);
}

TEST(ArgumentParser, doubleDashMakesTheRestOperands)
{
    const ParseOutcome outcome = parse({"--pin", "1", "--", "--odd-name.txt"});
    ASSERT_EQ(outcome.kind, ParseOutcome::Kind::Run);
    EXPECT_EQ(outcome.arguments.operands, std::vector<std::string>{"--odd-name.txt"});
}

TEST(ArgumentParser, helpWinsOverEverythingElse)
{
    EXPECT_EQ(parse({"--bogus", "--help"}).kind, ParseOutcome::Kind::UsageError)
        << "errors before --help are reported";
    EXPECT_EQ(parse({"--help", "--bogus"}).kind, ParseOutcome::Kind::Help);
}

TEST(ArgumentParser, usageErrorsSayWhatIsWrong)
{
    struct Case
    {
        std::vector<std::string> args;
        const char* error;
    };
    const Case cases[] = {
        {{"f.txt"}, "option '--pin' is required"},
        {{"--pin", "1"}, "missing FILE"},
        {{"f.txt", "g.txt", "--pin", "1"}, "unexpected argument 'g.txt'"},
        {{"f.txt", "--pin"}, "option '--pin' needs a value (PIN)"},
        {{"f.txt", "--pin", "1", "--pin=2"}, "option '--pin' is given more than once"},
        {{"f.txt", "--pin", "1", "--dry-run=yes"}, "option '--dry-run' takes no value"},
        {{"f.txt", "--pin", "1", "--color"}, "unknown option '--color'"},
        {{"f.txt", "--pin", "1", "-v"}, "unknown option '-v'"},
    };
    for (const Case& c : cases) {
        const ParseOutcome outcome = parse(c.args);
        EXPECT_EQ(outcome.kind, ParseOutcome::Kind::UsageError) << c.error;
        EXPECT_EQ(outcome.error, c.error);
    }
}

TEST(ArgumentParser, helpShowsSwitchesWithoutValue)
{
    EXPECT_EQ(commandSynopsis(Demo),
              "Usage: mailvane-cli demo FILE --pin PIN [--to NUMBERS] [--dry-run]");
    EXPECT_NE(commandHelp(Demo).find("\n  --dry-run             a switch\n"), std::string::npos)
        << commandHelp(Demo);
}
