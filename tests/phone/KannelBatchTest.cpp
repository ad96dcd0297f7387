// A gateway batch under a real gateway's conditions: a queue that fills up and
// answers 503, a gateway restarted mid-run, a run killed and resumed, two runs
// on one log, Ctrl+C, an account throttled to a rate.

#include "ChildProcess.h"
#include "CliRunner.h"
#include "KannelHarness.h"
#include "TempDir.h"
#include "TextFile.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>

using namespace mailvane;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using test::readFile;

const fs::path Examples = MAILVANE_EXAMPLES_DIR;
const fs::path TokenTable = MAILVANE_TOKEN_TABLE_PATH;

class KannelBatch : public ::testing::Test
{
protected:
    void SetUp() override { test::isolateProgramSettings(home.path()); }

    void startGateway(test::KannelLimits limits = {})
    {
        gateway = std::make_unique<test::KannelHarness>(kannelDir.path(), limits);
        ASSERT_TRUE(gateway->start()) << gateway->error();
        const auto encoded = test::runCli({"encode", (Examples / "imap4-gprs.txt").string(),
                                           "--pin", "8642", "--table", TokenTable.string(),
                                           "--format", "messages"},
                                          work.path());
        ASSERT_EQ(encoded.exitCode, 0) << encoded.err;
        perPush = test::lines(encoded.out).size();
    }

    // numbers.txt with `count` numbers.
    std::vector<std::string> writeNumbers(std::size_t count)
    {
        std::vector<std::string> numbers;
        std::ofstream file(work / "numbers.txt");
        for (std::size_t i = 0; i < count; ++i) {
            numbers.push_back("+4915" + std::to_string(100000 + i));
            file << numbers.back() << "\n";
        }
        return numbers;
    }

    std::vector<std::string> arguments(const std::vector<std::string>& more) const
    {
        std::vector<std::string> args = {"send",    (Examples / "imap4-gprs.txt").string(),
                                         "--pin",   "8642",
                                         "--table", TokenTable.string(),
                                         "--phone", "kannel:" + gateway->sendsmsUrl(),
                                         "--to-file", "numbers.txt"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    test::CliRun send(const std::vector<std::string>& more)
    {
        return test::runCli(arguments(more), work.path());
    }

    bool startInBackground(test::ChildProcess& child, const std::vector<std::string>& more,
                           const std::string& name)
    {
        std::vector<std::string> args = arguments(more);
        args.insert(args.begin(), MAILVANE_CLI_PATH);
        return child.start(args, work.path(), work / (name + ".out"), work / (name + ".err"));
    }

    std::size_t endingsIn(const fs::path& log) const
    {
        return test::loggedEndings(readFile(log)).size();
    }

    // How many complete pushes each number got, once every message that
    // `expectedMessages` says should come has arrived.
    std::map<std::string, int> completePushes(std::size_t expectedMessages)
    {
        EXPECT_TRUE(gateway->waitForReceived(expectedMessages, 60s));
        std::map<std::string, int> complete;
        for (const test::ReceivedPush& push : test::reassemblePushes(gateway->received()))
            complete[push.to] += push.complete ? 1 : 0;
        return complete;
    }

    test::TempDir home;
    test::TempDir work;
    test::TempDir kannelDir;
    std::unique_ptr<test::KannelHarness> gateway;
    std::size_t perPush = 0;
};

// The numbers whose last log line is "started".
std::set<std::string> uncertainIn(const std::string& log)
{
    std::map<std::string, std::string> last;
    for (const std::string& line : test::lines(log)) {
        const std::size_t tab = line.find('\t');
        last[line.substr(0, tab)] = line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1);
    }
    std::set<std::string> uncertain;
    for (const auto& [number, word] : last) {
        if (word == "started")
            uncertain.insert(number);
    }
    return uncertain;
}

} // namespace

TEST_F(KannelBatch, fullQueueAnswering503IsRetriedAndEveryPushArrivesOnce)
{
    startGateway({4, 0});
    const auto numbers = writeNumbers(200);
    const auto run = send({"--jobs", "16", "--log", "run.log"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("200 sent, 0 failed, 0 skipped, 0 already sent, 0 uncertain, in "),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("messages tried again)"), std::string::npos) << run.err;
    auto complete = completePushes(numbers.size() * perPush);
    // No part twice either: exactly the messages of one push each.
    EXPECT_EQ(gateway->received().size(), numbers.size() * perPush);
    EXPECT_EQ(complete.size(), numbers.size());
    for (const std::string& number : numbers)
        EXPECT_EQ(complete[number], 1) << number;
}

TEST_F(KannelBatch, gatewayRestartedMidRunGetsEveryPushOnceAfterOneResume)
{
    startGateway();
    const auto numbers = writeNumbers(300);
    const fs::path log = work / "run.log";
    test::ChildProcess first;
    ASSERT_TRUE(startInBackground(first, {"--jobs", "8", "--keep-going", "--log", "run.log"},
                                  "first"));
    ASSERT_TRUE(test::waitUntil([&] { return endingsIn(log) >= 30; }, 30s));
    ASSERT_TRUE(gateway->restart(2s))
        << gateway->error() << "\n"
        << readFile(kannelDir / "bearerbox.err") << readFile(kannelDir / "bearerbox.log");
    const auto ended = first.waitFor(90s);
    ASSERT_TRUE(ended == 0 || ended == 1) << readFile(work / "first.err");
    // The pause was bridged by trying again, not by failing.
    EXPECT_NE(readFile(work / "first.err").find(" messages tried again)"), std::string::npos);

    const auto second = send({"--jobs", "8", "--log", "run.log", "--resume", "run.log"});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    auto complete = completePushes(numbers.size() * perPush);
    EXPECT_EQ(complete.size(), numbers.size());
    for (const std::string& number : numbers)
        EXPECT_EQ(complete[number], 1) << number;
}

TEST_F(KannelBatch, killedRunResumedSendsTwiceOnlyToTheNumbersItCalledUncertain)
{
    startGateway();
    const auto numbers = writeNumbers(300);
    const fs::path log = work / "run.log";
    test::ChildProcess first;
    ASSERT_TRUE(startInBackground(first, {"--jobs", "8", "--log", "run.log"}, "first"));
    ASSERT_TRUE(test::waitUntil([&] { return endingsIn(log) >= 40; }, 30s));
    first.signal(SIGKILL);
    first.waitFor(10s);
    const std::set<std::string> uncertain = uncertainIn(readFile(log));

    auto resumed = send({"--jobs", "8", "--log", "run.log", "--resume", "run.log"});
    // The uncertain ones are named, counted and not sent: not a success yet.
    EXPECT_EQ(resumed.exitCode, 1) << resumed.err;
    EXPECT_NE(resumed.err.find(" uncertain, in "), std::string::npos) << resumed.err;
    for (const std::string& number : uncertain)
        EXPECT_NE(resumed.err.find("\n  " + number), std::string::npos) << number;
    resumed = send({"--log", "run.log", "--resume", "run.log", "--resend-uncertain"});
    EXPECT_EQ(resumed.exitCode, 0) << resumed.err;

    const std::size_t atLeast = numbers.size() * perPush;
    auto complete = completePushes(atLeast);
    for (const std::string& number : numbers) {
        if (uncertain.contains(number))
            EXPECT_GE(complete[number], 1) << number;
        else
            EXPECT_EQ(complete[number], 1) << number;
    }
}

TEST_F(KannelBatch, oneRunPerLogAndCtrlCSaysAtOnceWhatItWaitsFor)
{
    startGateway();
    writeNumbers(100);
    const fs::path log = work / "run.log";
    test::ChildProcess first;
    // Slow enough to be caught in flight: 20 messages a second.
    ASSERT_TRUE(startInBackground(first, {"--jobs", "4", "--rate", "20", "--log", "run.log"},
                                  "first"));
    ASSERT_TRUE(test::waitUntil([&] { return fs::exists(log) && fs::file_size(log) > 0; }, 30s));

    const auto second = send({"--log", "run.log"});
    EXPECT_EQ(second.exitCode, 2);
    EXPECT_NE(second.err.find("the log run.log is in use by another run"), std::string::npos)
        << second.err;

    first.signal(SIGINT);
    const std::string stopping = "stopping: waiting for ";
    EXPECT_TRUE(test::waitUntil(
        [&] { return readFile(work / "first.err").find(stopping) != std::string::npos; }, 2s));
    ASSERT_EQ(first.waitFor(30s), 130);
    const std::string said = readFile(work / "first.err");
    EXPECT_NE(said.find(" pushes in flight (Ctrl+C again stops now; they will be logged as "
                        "uncertain)"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find(" 0 uncertain, "), std::string::npos) << said;
    EXPECT_NE(said.find(" not started, in "), std::string::npos) << said;
    // Every push in flight finished and was logged.
    EXPECT_TRUE(uncertainIn(readFile(log)).empty());

    // A second Ctrl+C does not wait: what was in flight stays uncertain.
    test::ChildProcess again;
    ASSERT_TRUE(startInBackground(
        again, {"--jobs", "4", "--rate", "20", "--log", "run.log", "--resume", "run.log"},
        "again"));
    const std::size_t before = test::lines(readFile(log)).size();
    ASSERT_TRUE(test::waitUntil([&] { return test::lines(readFile(log)).size() > before; }, 30s));
    again.signal(SIGINT);
    // Two signals sent at once would arrive as one.
    EXPECT_TRUE(test::waitUntil(
        [&] { return readFile(work / "again.err").find(stopping) != std::string::npos; }, 2s));
    again.signal(SIGINT);
    EXPECT_EQ(again.waitFor(5s), 130);
    EXPECT_NE(readFile(work / "again.err").find("stopped now: "), std::string::npos)
        << readFile(work / "again.err");
    EXPECT_FALSE(uncertainIn(readFile(log)).empty());
}

TEST_F(KannelBatch, rateBoundsTheMessagesPerSecondOverAllJobs)
{
    startGateway();
    const auto numbers = writeNumbers(30);
    const double rate = 60;
    const auto run = send({"--jobs", "8", "--rate", "60"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // The closing line's time: the first message goes at once, the rest one
    // slot each.
    const std::size_t at = run.err.rfind(", in ");
    ASSERT_NE(at, std::string::npos) << run.err;
    const double seconds = std::stod(run.err.substr(at + 5));
    const double expected = static_cast<double>(numbers.size() * perPush - 1) / rate;
    EXPECT_NEAR(seconds, expected, expected * 0.1) << run.err;
}
