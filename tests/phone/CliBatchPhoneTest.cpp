// The batch options of mailvane-cli send on the simulated phone: they work the
// same through a phone as through a gateway, one number at a time.

#include "CliRunner.h"
#include "TempDir.h"
#include "TextFile.h"

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

const fs::path Examples = MAILVANE_EXAMPLES_DIR;
const fs::path TokenTable = MAILVANE_TOKEN_TABLE_PATH;

std::size_t outboxMessages(const fs::path& outbox)
{
    return lines(readFile(outbox)).size() / 2;
}

class CliBatch : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::isolateProgramSettings(home.path());
    }

    test::CliRun send(const std::vector<std::string>& more)
    {
        std::vector<std::string> args = {"send",    (Examples / "imap4-gprs.txt").string(),
                                         "--pin",   "8642",
                                         "--table", TokenTable.string(),
                                         "--phone", "sim:" + phoneDir.path().string()};
        args.insert(args.end(), more.begin(), more.end());
        return runCli(args, work.path());
    }

    test::TempDir home;
    test::TempDir work;
    test::TempDir phoneDir;
};

} // namespace

TEST_F(CliBatch, keepGoingLogsEveryNumberAndResumeSendsOnlyTheFailedOne)
{
    std::ofstream(work / "numbers.txt") << "# first two\n111\n222\n";
    // --to comes first: the second message of the second number (111) is refused.
    std::ofstream(phoneDir / "phone.conf") << "refuse = 8\n";
    auto run = send({"--to-file", "numbers.txt", "--to", "333", "--jobs", "4", "--keep-going",
                     "--log", "run.log"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("one message at a time"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("1 of 3 recipients failed (2 of 3 recipients sent)"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("recipient 3 of 3"), std::string::npos) << run.err;
    EXPECT_EQ(outboxMessages(phoneDir / "outbox.txt"), 13u);
    auto logged = test::loggedEndings(readFile(work / "run.log"));
    ASSERT_EQ(logged.size(), 3u);
    EXPECT_TRUE(logged[0].starts_with("333\tsent\t")) << logged[0];
    EXPECT_TRUE(logged[1].starts_with("111\tfailed\t")) << logged[1];
    EXPECT_TRUE(logged[2].starts_with("222\tsent\t")) << logged[2];
    EXPECT_NE(logged[1].find("the phone refused the message (message 8 refused, as phone.conf "
                             "asks) at message 2 of 6 (status 0x80040210)"),
              std::string::npos)
        << logged[1];

    fs::remove(phoneDir / "phone.conf");
    run = send(
        {"--to-file", "numbers.txt", "--to", "333", "--log", "run.log", "--resume", "run.log"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("Skipping 2 recipients"), std::string::npos) << run.err;
    EXPECT_EQ(outboxMessages(phoneDir / "outbox.txt"), 19u);
    logged = test::loggedEndings(readFile(work / "run.log"));
    ASSERT_EQ(logged.size(), 4u);
    EXPECT_TRUE(logged[3].starts_with("111\tsent\t")) << logged[3];

    run = send({"--to-file", "numbers.txt", "--to", "333", "--resume", "run.log"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("already recorded as sent"), std::string::npos) << run.out;
    EXPECT_EQ(outboxMessages(phoneDir / "outbox.txt"), 19u);
}

TEST_F(CliBatch, dryRunEncodesAndLogsEveryNumberButSendsNothing)
{
    const auto run = send({"--to", "111;222", "--dry-run", "--log", "dry.log"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("2 sent, 0 failed, 0 skipped, 0 already sent, 0 uncertain, in "),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("; a dry run: nothing went to a phone or gateway"), std::string::npos);
    EXPECT_FALSE(fs::exists(phoneDir / "outbox.txt"));
    EXPECT_EQ(readFile(work / "dry.log").find("\tdry\t"), 3u);
    // A dry run sends nothing, so a resumed run still sends everything.
    EXPECT_EQ(send({"--to", "111;222", "--resume", "dry.log"}).exitCode, 0);
    EXPECT_EQ(outboxMessages(phoneDir / "outbox.txt"), 12u);
}

TEST_F(CliBatch, wrongBatchOptionsAreRefusedBeforeAnythingIsSent)
{
    std::ofstream(work / "binary.txt", std::ios::binary) << std::string("1\0", 2);
    struct Case
    {
        std::vector<std::string> args;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {{"--to", "111", "--jobs", "0"}, 2, "--jobs takes a whole number from 1 to 100"},
        {{"--to", "111", "--jobs", "101"}, 2, "--jobs takes"},
        {{"--to", "111", "--jobs", "4x"}, 2, "--jobs takes"},
        {{}, 2, "give the recipients with --to, --to-file or both"},
        {{"--to-file", "missing.txt"}, 1, "cannot read the number list missing.txt"},
        {{"--to-file", "binary.txt"}, 1, "NUL byte"},
        // An endless input is cut off at the first overlong line, not read into memory.
        {{"--to-file", "/dev/zero"}, 1, "line 1: the line is longer than 65536 bytes"},
        {{"--to", "111", "--log", "no-such-dir/run.log"}, 1, "cannot open the log"},
        {{"--to", "111", "--resume", "."}, 1, "cannot read the log"},
        {{"--to", "111", "--phone", "kannel:ftp://127.0.0.1/x"}, 2, "http:// or https://"},
        {{"--to", "111", "--phone", "kannel:http://h/s?text=hi"}, 2, "must not set 'text'"},
        {{"--to", "111", "--retries", "101"}, 2, "--retries takes a whole number from 0 to 100"},
        {{"--to", "111", "--stop-after", "-1"}, 2, "--stop-after takes a whole number"},
        {{"--to", "111", "--timeout", "0"}, 2, "--timeout takes seconds above 0"},
        {{"--to", "111", "--timeout", "nan"}, 2, "--timeout takes seconds above 0"},
        {{"--to", "111", "--rate", "2/s"}, 2, "--rate takes messages per second, from 0.001"},
        {{"--to", "111", "--rate", "1e-30"}, 2, "--rate takes messages per second"},
        {{"--to", "111", "--resend-uncertain"}, 2, "--resend-uncertain needs the log given"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        // A later --phone wins over the simulated one: options are given once.
        std::vector<std::string> full = {"send",    (Examples / "imap4-gprs.txt").string(),
                                         "--pin",   "8642",
                                         "--table", TokenTable.string()};
        if (std::find(args.begin(), args.end(), "--phone") == args.end()) {
            full.push_back("--phone");
            full.push_back("sim:" + phoneDir.path().string());
        }
        full.insert(full.end(), args.begin(), args.end());
        const auto run = runCli(full, work.path());
        EXPECT_EQ(run.exitCode, c.exitCode) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(phoneDir / "outbox.txt"));
}

TEST_F(CliBatch, phoneReportsFeedTheLogStatusAndResendingTheUndelivered)
{
    // Ending 1: not delivered; ending 22: no report; the rest delivered.
    std::ofstream(phoneDir / "phone.conf") << "reports for 1 = not delivered\n"
                                              "reports for 22 = none\n";
    // The resent push gets the references of the first run's: the old
    // reports must not count for it.
    const std::string list = "+4916011;+4916003;+4916022";
    auto run = send({"--to", list, "--reports", "--wait-reports", "1", "--log", "run.log"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.err.find("3 sent, 0 failed, 0 skipped, 0 already sent, 0 uncertain, 1 "
                           "delivered, 1 not delivered, 1 no report, in "),
              std::string::npos)
        << run.err;
    // Each message asked for its report (TP-SRR, bit 5 of the first octet).
    const std::string outbox = readFile(phoneDir / "outbox.txt");
    EXPECT_EQ(outbox.find("PDU 0041"), std::string::npos);
    EXPECT_NE(outbox.find("PDU 0061"), std::string::npos);

    const auto status = runCli({"status", "run.log"}, work.path());
    ASSERT_EQ(status.exitCode, 0) << status.err;
    EXPECT_EQ(status.out, "run.log: 3 numbers\n"
                          "       1  delivered\n"
                          "       1  not delivered\n"
                          "       0  accepted by the SMSC, no word from the phone\n"
                          "       1  sent, no report\n"
                          "       0  failed\n"
                          "       0  skipped\n"
                          "       0  uncertain (started, never ended)\n"
                          "\n"
                          "Not delivered:\n"
                          "  +4916011\n"
                          "\n"
                          "Without a report:\n"
                          "  +4916022\n");

    const std::size_t before = outboxMessages(phoneDir / "outbox.txt");
    std::ofstream(phoneDir / "phone.conf") << "reports = delivered\n";
    run = send({"--to", list, "--reports", "--wait-reports", "1", "--resume", "run.log",
                "--resend-undelivered", "--log", "run.log"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("1 sent, 0 failed, 0 skipped, 2 already sent, 0 uncertain, 1 "
                           "delivered, 0 not delivered, 0 no report"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(outboxMessages(phoneDir / "outbox.txt"), before + before / 3);
    EXPECT_NE(readFile(work / "run.log").rfind("+4916011\tdelivered\t"), std::string::npos);
}
