#include "CliRunner.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using mailvane::test::runCli;

namespace {

const std::string Example = std::string(MAILVANE_EXAMPLES_DIR) + "/imap4-gprs.txt";

} // namespace

TEST(CliUsage, wrongCommandLinesExitTwoWithAMessageAndNoOutput)
{
    mailvane::test::TempDir cwd;
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"check"},
        {"check", Example, Example},
        {"check", "--pin", "1", Example},
        {"summary", "-x", Example},
        {"encode", Example, "--format", "push"},
        {"encode", Example, "--pin", "1234"},
        {"encode", Example, "--pin", "", "--format", "push"},
        {"encode", Example, "--pin", "12345678901", "--format", "push"},
        {"encode", Example, "--pin", "1234", "--format", "xml"},
        {"encode", Example, "--pin", "1234", "--format", "messages", "--to", " ; ;\t"},
        {"encode", Example, "--pin", "1", "--pin", "2", "--format", "push"},
        {"encode", Example, "--format", "push", "--pin"},
    };
    for (const auto& args : cases) {
        std::string shown;
        for (const std::string& arg : args)
            shown += "[" + arg + "]";
        const auto run = runCli(args, cwd.path());
        EXPECT_EQ(run.exitCode, 2) << shown;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_TRUE(run.err.starts_with("mailvane-cli: ")) << shown << ": " << run.err;
    }
}

TEST(CliUsage, helpListsEveryCommandAndExitsZero)
{
    mailvane::test::TempDir cwd;
    const auto run = runCli({"--help"}, cwd.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    for (const char* command : {"check", "summary", "encode"})
        EXPECT_NE(run.out.find(std::string("\n  ") + command + " "), std::string::npos) << command;

    const auto encodeHelp = runCli({"encode", "--help"}, cwd.path());
    EXPECT_EQ(encodeHelp.exitCode, 0);
    EXPECT_TRUE(encodeHelp.out.starts_with(
        "Usage: mailvane-cli encode FILE [--pin PIN] --format FORMAT [--to NUMBERS] "
        "[--rows TABLE] [--shared KEYS] [--encoding NAME] [--security METHOD] [--imsi IMSI] "
        "[--table PATH]\n"))
        << encodeHelp.out;
}

TEST(CliUsage, optionValueMayFollowAnEqualsSignAndFileMayFollowDoubleDash)
{
    mailvane::test::TempDir cwd;
    const auto run = runCli({"encode", "--pin=0", "--format=document", "--", Example}, cwd.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_FALSE(run.out.empty());
}
