// mailvane-cli send --rows on the simulated phone: a table is judged whole
// before anything is sent, and wrong options never reach the phone.

#include "CliRunner.h"
#include "TempDir.h"
#include "TextFile.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace mailvane;
using test::runCli;
namespace fs = std::filesystem;

namespace {

using mailvane::test::readFile;
using mailvane::test::lines;

// Servers only: every personal value comes from the table.
const fs::path Template = fs::path(MAILVANE_EXAMPLES_DIR) / "staff-template.txt";
const fs::path TokenTable = MAILVANE_TOKEN_TABLE_PATH;

// The recipients of the outbox's messages, one entry per push.
std::vector<std::string> pushRecipients(const fs::path& outbox)
{
    std::vector<std::string> recipients;
    for (const std::string& line : lines(readFile(outbox))) {
        if (line.starts_with("# to ") && line.find(", part 1 of ") != std::string::npos)
            recipients.push_back(line.substr(5, line.find(',') - 5));
    }
    return recipients;
}

class CliRows : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::isolateProgramSettings(home.path());
        std::ofstream(work / "staff.csv") << "number,E-Mail Address,Incoming Server Username,pin\n"
                                          << "+4917011,bea@example.com,bea,2811\n"
                                          << "+4912ab,carl@example.com,carl,\n"
                                          << "+4917013,dina@example.com,dina,\n"
                                          << "+4917014,eva@example.com,eva,12345678901\n";
    }

    test::CliRun send(const std::vector<std::string>& more, const fs::path& input = {})
    {
        std::vector<std::string> args = {"send",    Template.string(),
                                         "--table", TokenTable.string(),
                                         "--phone", "sim:" + phoneDir.path().string()};
        args.insert(args.end(), more.begin(), more.end());
        return runCli(args, work.path(), {}, input);
    }

    test::TempDir home;
    test::TempDir work;
    test::TempDir phoneDir;
};

} // namespace

TEST_F(CliRows, checkRowsListsEachBadRowWithItsLineAndSendsNothing)
{
    auto run = send({"--rows", "staff.csv", "--pin", "5555", "--check-rows"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "staff.csv:3: number: \"+4912ab\" is not a phone number.\n"
                       "staff.csv:5: pin: a PIN is 1 to 10 digits (0-9) and nothing else\n"
                       "staff.csv: 4 rows, 2 bad\n");
    EXPECT_EQ(run.err, "");
    EXPECT_FALSE(fs::exists(phoneDir / "outbox.txt"));

    std::ofstream(work / "good.csv") << "number,pin\n+4917011,2811\n\n+4917012,2812\n";
    run = send({"--rows", "good.csv", "--check-rows"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "good.csv: 2 rows, all good\n");
    EXPECT_FALSE(fs::exists(phoneDir / "outbox.txt"));

    // Proofreading: each row in clear text, headed by its line.
    for (const char* command : {"encode", "summary"}) {
        std::vector<std::string> args = {
            command, Template.string(), "--table", TokenTable.string(), "--rows", "good.csv"};
        if (command == std::string("encode"))
            args.insert(args.end(), {"--format", "document"});
        run = runCli(args, work.path());
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(run.out.starts_with("# line 2")) << run.out;
        EXPECT_NE(run.out.find("# line 4"), std::string::npos) << run.out;
        EXPECT_EQ(runCli({command, Template.string(), "--rows", "staff.csv"}, work.path()).out, "");
    }
}

TEST_F(CliRows, badRowsStopTheSendUnlessSkippedAndAreThenLoggedAsSkipped)
{
    auto run = send({"--rows", "staff.csv", "--pin", "5555", "--log", "run.log"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("staff.csv:3: number: \"+4912ab\" is not a phone number."),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("2 of 4 rows are bad, so nothing was sent"), std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists(phoneDir / "outbox.txt"));
    EXPECT_FALSE(fs::exists(work / "run.log"));

    run = send({"--rows", "-", "--pin", "5555", "--log", "run.log", "--skip-bad-rows"},
               work / "staff.csv");
    // Skipped rows were not sent: that is no success.
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_NE(run.err.find("2 sent, 0 failed, 2 skipped, 0 already sent, 0 uncertain"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("skipping stdin:5: pin:"), std::string::npos) << run.err;
    EXPECT_EQ(pushRecipients(phoneDir / "outbox.txt"),
              (std::vector<std::string>{"+4917011", "+4917013"}));
    const auto logged = test::loggedEndings(readFile(work / "run.log"));
    ASSERT_EQ(logged.size(), 4u);
    EXPECT_TRUE(logged[0].starts_with("+4912ab\tskipped\t")) << logged[0];
    EXPECT_TRUE(logged[0].ends_with("\tnumber: \"+4912ab\" is not a phone number.\tline 3"))
        << logged[0];
    EXPECT_TRUE(logged[1].starts_with("+4917014\tskipped\t")) << logged[1];
    EXPECT_TRUE(logged[1].ends_with("\tline 5")) << logged[1];
    EXPECT_TRUE(logged[2].starts_with("+4917011\tsent\t")) << logged[2];
    EXPECT_TRUE(logged[2].ends_with("\tline 2")) << logged[2];
    EXPECT_TRUE(logged[3].starts_with("+4917013\tsent\t")) << logged[3];
    for (const std::string& line : logged) {
        for (const char* secret : {"5555", "2811", "12345678901"})
            EXPECT_EQ(line.find(secret), std::string::npos) << line;
    }

    // Resumed, the skipped rows are still not sent, and say so.
    run = send({"--rows", "staff.csv", "--pin", "5555", "--skip-bad-rows", "--resume", "run.log"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.err.find("0 sent, 0 failed, 2 skipped, 2 already sent, 0 uncertain"),
              std::string::npos)
        << run.err;
}

TEST_F(CliRows, wrongTablesAndKeyOptionsAreRefusedBeforeAnythingIsSent)
{
    std::ofstream(work / "broken.csv") << "number,pin\n\"+4917011,2811\n";
    std::ofstream(work / "columns.csv") << "number,User Name,pin\n+4917011,bea,2811\n";
    const std::string imsi = "262011234567890";
    struct Case
    {
        std::vector<std::string> args;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {{"--rows", "staff.csv", "--to", "111"}, 2, "--to has no place with --rows"},
        {{"--rows", "staff.csv", "--imsi", imsi}, 2, "--imsi has no place with --rows"},
        {{"--rows", "staff.csv", "--check-rows", "--skip-bad-rows"}, 2, "has no place with it"},
        {{"--to", "111", "--pin", "1", "--check-rows"},
         2,
         "--check-rows needs a table given with --rows"},
        {{"--to", "111"}, 2, "userpin needs the PIN the phone will ask for: give --pin"},
        {{"--to", "111", "--pin", "1", "--security", "nope"}, 2, "unknown security method 'nope'"},
        {{"--to", "111", "--pin", "1", "--security", "netwpin", "--imsi", imsi},
         2,
         "--pin has no place"},
        {{"--to", "111", "--security", "netwpin"}, 2, "give --imsi"},
        {{"--to", "111", "--pin", "1", "--imsi", imsi}, 2, "--imsi keys the push only with"},
        {{"--to", "111;222", "--security", "netwpin", "--imsi", imsi}, 2, "for one SIM"},
        {{"--to", "111", "--security", "usernetwpin", "--pin", "1", "--imsi", "26201a"},
         2,
         "the IMSI '26201a' is not 6 to 15 digits"},
        {{"--rows", "missing.csv", "--pin", "1"}, 1, "cannot read the table missing.csv"},
        {{"--rows", "broken.csv", "--pin", "1"},
         1,
         "broken.csv:2: the table cannot be read: a quoted cell that starts here is never "
         "closed"},
        {{"--rows", "columns.csv"}, 1, "columns.csv:1: User Name: not a settings key"},
        {{"--rows", "columns.csv", "--skip-bad-rows"}, 1, "the columns of columns.csv are wrong"},
        {{"--rows", "staff.csv", "--pin", "1", "--shared", "Outgoing Server"},
         2,
         "--shared: 'Outgoing Server' is not a personal settings key"},
        {{"--to", "111", "--pin", "4711.0"}, 2, "looks like a spreadsheet number"},
    };
    for (const Case& c : cases) {
        const auto run = send(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
    EXPECT_FALSE(fs::exists(phoneDir / "outbox.txt"));
}
