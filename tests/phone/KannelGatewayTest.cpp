// The Kannel back end and batch sending against a real gateway on loopback:
// bearerbox, smsbox and fakesmsc from Debian's kannel packages.

#include "KannelGateway.h"

#include "ChildProcess.h"
#include "CliRunner.h"
#include "HexText.h"
#include "KannelHarness.h"
#include "OpenSettings.h"
#include "PhoneLink.h"
#include "ServiceObjects.h"
#include "TempDir.h"
#include "TextFile.h"

#include <cctype>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <netinet/in.h>
#include <set>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

using namespace mailvane;
using test::runCli;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using mailvane::test::lines;
using mailvane::test::readFile;

const fs::path Examples = MAILVANE_EXAMPLES_DIR;
const fs::path TokenTable = MAILVANE_TOKEN_TABLE_PATH;
const std::string Pin = "8642";

std::string lowerCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::vector<std::string> numbersFrom(unsigned first, unsigned count)
{
    std::vector<std::string> numbers;
    for (unsigned i = 0; i < count; ++i)
        numbers.push_back("+4917" + std::to_string(first + i));
    return numbers;
}

std::string joined(const std::vector<std::string>& numbers, const char* separator)
{
    std::string text;
    for (const std::string& number : numbers)
        text += (text.empty() ? "" : separator) + number;
    return text;
}

// A received message as `encode --format messages` writes it.
std::string messageLine(const test::ReceivedMessage& message)
{
    return provisioning::hex::encode(message.udh) + " " + provisioning::hex::encode(message.data);
}

std::map<std::string, std::vector<test::ReceivedMessage>>
byRecipient(const std::vector<test::ReceivedMessage>& messages)
{
    std::map<std::string, std::vector<test::ReceivedMessage>> grouped;
    for (const auto& message : messages)
        grouped[message.to].push_back(message);
    return grouped;
}

// How many complete pushes each number got.
std::map<std::string, int> completePushes(const test::KannelHarness& gateway)
{
    std::map<std::string, int> complete;
    for (const test::ReceivedPush& push : test::reassemblePushes(gateway.received()))
        complete[push.to] += push.complete ? 1 : 0;
    return complete;
}

// The numbers whose last log line is "started".
std::set<std::string> uncertainIn(const std::string& log)
{
    std::map<std::string, std::string> last;
    for (const std::string& line : lines(log)) {
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

class KannelGateway : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::unsetenv("MAILVANE_PHONE");
        ::setenv("HOME", home.path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        ASSERT_TRUE(gateway.start()) << gateway.error();
    }

    std::vector<std::string> sendArguments(const std::vector<std::string>& more,
                                           const std::string& url) const
    {
        std::vector<std::string> args = {"send",    (Examples / "imap4-gprs.txt").string(),
                                         "--pin",   Pin,
                                         "--table", TokenTable.string(),
                                         "--phone", "kannel:" + url};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    test::CliRun send(const std::vector<std::string>& more)
    {
        return runCli(sendArguments(more, gateway.sendsmsUrl()), work.path());
    }

    // What `encode --format ...` prints for the example and the PIN.
    std::vector<std::string> encoded(const std::string& format, const std::string& to = {})
    {
        std::vector<std::string> args = {"encode",   (Examples / "imap4-gprs.txt").string(),
                                         "--pin",    Pin,
                                         "--table",  TokenTable.string(),
                                         "--format", format};
        if (!to.empty()) {
            args.push_back("--to");
            args.push_back(to);
        }
        const auto run = runCli(args, work.path());
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return lines(run.out);
    }

    std::size_t messagesPerPush() { return encoded("messages").size(); }

    // numbers.txt with `count` numbers.
    std::vector<std::string> writeNumbers(unsigned count)
    {
        const auto numbers = numbersFrom(100000, count);
        std::ofstream(work / "numbers.txt") << joined(numbers, "\n") << "\n";
        return numbers;
    }

    bool startCli(test::ChildProcess& child, const std::vector<std::string>& more,
                  const std::string& url, const std::string& name)
    {
        std::vector<std::string> args = sendArguments(more, url);
        args.insert(args.begin(), MAILVANE_CLI_PATH);
        return child.start(args, work.path(), work / (name + ".out"), work / (name + ".err"));
    }

    test::TempDir home;
    test::TempDir work;
    test::TempDir kannelDir;
    test::KannelHarness gateway{kannelDir.path()};
};

} // namespace

TEST_F(KannelGateway, pushThroughThePhoneLinkArrivesAsCutAndContactsAreEmpty)
{
    const auto url = phone::parseGatewayAddress(gateway.sendsmsUrl() + "?from=Helpdesk");
    ASSERT_TRUE(url.address) << url.error;
    phone::registerPhoneService(std::make_shared<phone::KannelGateway>(*url.address));
    settings::EmailSettings record;
    ASSERT_TRUE(settings::openSettingsFile(Examples / "imap4-gprs.txt", record).ok());
    record.to = "+491701";
    phone::PhoneLink link(TokenTable);
    link.setSettings(&record);
    EXPECT_EQ(link.SendSettings(Pin).status, platform::S_OK);

    phone::ContactList contacts;
    EXPECT_TRUE(link.ReadContacts(contacts).complete());
    EXPECT_TRUE(contacts.empty());
    phone::revokePhoneService();

    const std::vector<std::string> expected = encoded("messages");
    ASSERT_TRUE(gateway.waitForReceived(expected.size(), 20s));
    const auto received = gateway.received();
    ASSERT_EQ(received.size(), expected.size());
    for (std::size_t i = 0; i < received.size(); ++i) {
        EXPECT_EQ(received[i].from, "Helpdesk");
        EXPECT_EQ(received[i].to, "+491701");
        EXPECT_EQ(lowerCase(messageLine(received[i])), lowerCase(expected[i]))
            << "message " << i + 1;
    }
}

TEST_F(KannelGateway, batchFromAListFileDeliversEveryPushInOrder)
{
    const auto numbers = numbersFrom(100, 12);
    std::ofstream(work / "numbers.txt")
        << "# the roll-out list\n\n"
        << joined({numbers.begin(), numbers.begin() + 6}, "\n") << "\n  # second half\n"
        << joined({numbers.begin() + 6, numbers.end()}, " ;\n") << "\r\n";
    const auto run = send({"--to-file", "numbers.txt", "--jobs", "4", "--log", "run.log"});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const std::vector<std::string> expected = encoded("messages", joined(numbers, ";"));
    const std::string push = encoded("push").at(0);
    const std::size_t perPush = expected.size() / numbers.size();
    ASSERT_GT(perPush, 1u);
    ASSERT_TRUE(gateway.waitForReceived(expected.size(), 30s));
    const auto grouped = byRecipient(gateway.received());
    ASSERT_EQ(grouped.size(), numbers.size());
    for (std::size_t n = 0; n < numbers.size(); ++n) {
        const auto& parts = grouped.at(numbers[n]);
        ASSERT_EQ(parts.size(), perPush) << numbers[n];
        std::vector<std::uint8_t> reassembled;
        for (std::size_t i = 0; i < perPush; ++i) {
            // In order of arrival, as the one SMS centre link delivered them.
            EXPECT_EQ(lowerCase(messageLine(parts[i])), lowerCase(expected[n * perPush + i]))
                << numbers[n];
            EXPECT_EQ(parts[i].from, "Mailvane");
            reassembled.insert(reassembled.end(), parts[i].data.begin(), parts[i].data.end());
        }
        EXPECT_TRUE(lowerCase(provisioning::hex::encode(reassembled)) == lowerCase(push))
            << numbers[n];
    }
    const auto logged = test::loggedEndings(readFile(work / "run.log"));
    ASSERT_EQ(logged.size(), numbers.size());
    for (const std::string& line : logged)
        EXPECT_NE(line.find("\tsent\t"), std::string::npos) << line;
}

TEST_F(KannelGateway, failuresNameTheGatewayAndAreNeverReportedAsSent)
{
    // A wrong password: Kannel's own answer, the URL without the password.
    auto run = runCli(
        sendArguments({"--to", "+491"}, gateway.sendsmsUrl(test::KannelHarness::User, "wrong-pw")),
        work.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_NE(run.err.find("Authorization failed for sendsms (HTTP 403)"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("wrong-pw"), std::string::npos) << run.err;
    // A refusal that will not change is not tried again.
    EXPECT_NE(run.err.find("0 sent, 1 failed, 0 skipped, 0 already sent, 0 uncertain, in "),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("tried again"), std::string::npos) << run.err;

    // A stopped gateway: a prompt failure after one more try, logged as failed.
    gateway.stopSmsbox();
    const auto started = std::chrono::steady_clock::now();
    run = send({"--to", "+492;+493", "--keep-going", "--retries", "1", "--log", "down.log"});
    EXPECT_LT(std::chrono::steady_clock::now() - started, 15s);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_NE(run.err.find("gateway http://127.0.0.1:"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("0 of 2 recipients sent"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("(2 messages tried again)"), std::string::npos) << run.err;
    const auto logged = test::loggedEndings(readFile(work / "down.log"));
    ASSERT_EQ(logged.size(), 2u);
    for (const std::string& line : logged)
        EXPECT_NE(line.find("\tfailed\t"), std::string::npos) << line;
    EXPECT_TRUE(gateway.received().empty());

    // Down for good: the run stops and leaves the rest for --resume.
    run = send({"--to", "+494;+495;+496;+497", "--keep-going", "--retries", "0", "--stop-after",
                "2", "--log", "down.log"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("stopped: 2 pushes in a row failed for the gateway, the last: +495: "
                           "gateway http://127.0.0.1:"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("; 2 not started; run again with --resume down.log"), std::string::npos)
        << run.err;
}

TEST_F(KannelGateway, refusedNumberStopsTheBatchUnlessToldToKeepGoing)
{
    const std::size_t perPush = messagesPerPush();
    const std::string refused = test::KannelHarness::RefusedNumber;
    const std::string list = "+4911;+4912;" + refused + ";+4913;+4914";

    auto run = send({"--to", list});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(refused + ": gateway "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("2 of 5 recipients sent"), std::string::npos) << run.err;
    ASSERT_TRUE(gateway.waitForReceived(2 * perPush, 20s));

    run = send({"--to", list, "--keep-going", "--jobs", "2", "--log", "run.log"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("1 of 5 recipients failed"), std::string::npos) << run.err;
    ASSERT_TRUE(gateway.waitForReceived(6 * perPush, 20s));
    const auto grouped = byRecipient(gateway.received());
    EXPECT_EQ(grouped.count(refused), 0u);
    EXPECT_EQ(grouped.at("+4911").size(), 2 * perPush);
    EXPECT_EQ(grouped.at("+4914").size(), perPush);
    const std::string log = readFile(work / "run.log");
    EXPECT_NE(log.find(refused + "\tfailed\t"), std::string::npos) << log;
    EXPECT_EQ(test::loggedEndings(log).size(), 5u);
}

TEST_F(KannelGateway, resumeAfterCtrlCSendsEachNumberExactlyOnce)
{
    const std::size_t perPush = messagesPerPush();
    const auto numbers = numbersFrom(5000, 300);
    std::ofstream(work / "numbers.txt") << joined(numbers, "\n") << "\n";
    const fs::path log = work / "run.log";

    test::ChildProcess first;
    std::vector<std::string> args = sendArguments({"--to-file", "numbers.txt", "--jobs", "2",
                                                   "--log", log.string(), "--resume", log.string()},
                                                  gateway.sendsmsUrl());
    args.insert(args.begin(), MAILVANE_CLI_PATH);
    ASSERT_TRUE(first.start(args, work.path(), work / "first.out", work / "first.err"));
    ASSERT_TRUE(test::waitUntil([&] { return lines(readFile(log)).size() >= 10; }, 30s));
    first.signal(SIGINT);
    ASSERT_EQ(first.waitFor(30s), 130) << readFile(work / "first.err");
    const std::size_t firstRun = test::loggedEndings(readFile(log)).size();
    EXPECT_LT(firstRun, numbers.size());

    const auto second = send({"--to-file", "numbers.txt", "--jobs", "2", "--log", log.string(),
                              "--resume", log.string()});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_NE(second.err.find("Skipping " + std::to_string(firstRun)), std::string::npos)
        << second.err;

    ASSERT_TRUE(gateway.waitForReceived(numbers.size() * perPush, 60s));
    const auto grouped = byRecipient(gateway.received());
    EXPECT_EQ(grouped.size(), numbers.size());
    for (const auto& [number, parts] : grouped)
        EXPECT_EQ(parts.size(), perPush) << number;
    std::map<std::string, int> logged;
    for (const std::string& line : test::loggedEndings(readFile(log)))
        ++logged[line.substr(0, line.find('\t'))];
    EXPECT_EQ(logged.size(), numbers.size());
    for (const auto& [number, times] : logged)
        EXPECT_EQ(times, 1) << number;
}

// However a batch is upset (smsbox's queue full and answering 503, bearerbox
// restarted mid-run, the run itself killed), every number ends with one
// push once the log is resumed; a number the log calls uncertain is named
// and gets a second only when asked.
TEST_F(KannelGateway, upsetBatchEndsWithOnePushForEveryNumber)
{
    enum class Upset
    {
        FullQueue,
        Restart,
        Kill,
    };
    const std::pair<Upset, const char*> cases[] = {
        {Upset::FullQueue, "queue"}, {Upset::Restart, "restart"}, {Upset::Kill, "kill"}};
    const auto numbers = writeNumbers(200);
    const std::size_t messages = numbers.size() * messagesPerPush();
    for (const auto& [upset, name] : cases) {
        SCOPED_TRACE(name);
        test::TempDir folder;
        test::KannelHarness own(folder.path(), upset == Upset::FullQueue ? test::KannelLimits{4, 0}
                                                                         : test::KannelLimits{});
        ASSERT_TRUE(own.start()) << own.error();
        const std::string log = std::string(name) + ".log";
        std::vector<std::string> more = {"--to-file", "numbers.txt",  "--jobs",
                                         "16",        "--keep-going", "--log",
                                         log,         "--resume",     log};
        const auto resume = [&] {
            return runCli(sendArguments(more, own.sendsmsUrl()), work.path());
        };
        test::ChildProcess first;
        ASSERT_TRUE(startCli(first, more, own.sendsmsUrl(), name));
        const std::string errors = (work / (std::string(name) + ".err")).string();
        std::set<std::string> uncertain;
        if (upset == Upset::FullQueue) {
            ASSERT_EQ(first.waitFor(90s), 0) << readFile(errors);
            EXPECT_NE(readFile(errors).find("200 sent, 0 failed, 0 skipped, 0 already sent, 0 "
                                            "uncertain, in "),
                      std::string::npos)
                << readFile(errors);
        } else {
            ASSERT_TRUE(test::waitUntil(
                [&] { return test::loggedEndings(readFile(work / log)).size() >= 30; }, 30s));
            if (upset == Upset::Restart) {
                ASSERT_TRUE(own.restart(2s)) << own.error();
                const auto ended = first.waitFor(90s);
                ASSERT_TRUE(ended == 0 || ended == 1) << readFile(errors);
            } else {
                first.signal(SIGKILL);
                first.waitFor(10s);
                uncertain = uncertainIn(readFile(work / log));
                // The uncertain ones are named, counted and not sent: not a success yet.
                const auto held = resume();
                EXPECT_EQ(held.exitCode, 1) << held.err;
                EXPECT_NE(held.err.find(" " + std::to_string(uncertain.size()) + " uncertain, in "),
                          std::string::npos)
                    << held.err;
                for (const std::string& number : uncertain)
                    EXPECT_NE(held.err.find("\n  " + number), std::string::npos) << number;
                more.push_back("--resend-uncertain");
            }
            const auto resumed = resume();
            ASSERT_EQ(resumed.exitCode, 0) << resumed.err;
        }
        // A busy or paused gateway is bridged by trying again, not by failing.
        if (upset != Upset::Kill) {
            EXPECT_NE(readFile(errors).find(" messages tried again)"), std::string::npos);
        }
        ASSERT_TRUE(own.waitForReceived(messages, 60s));
        if (upset == Upset::FullQueue) {
            EXPECT_EQ(own.received().size(), messages); // no part twice
        }
        auto complete = completePushes(own);
        for (const std::string& number : numbers) {
            if (uncertain.contains(number))
                EXPECT_GE(complete[number], 1) << number;
            else
                EXPECT_EQ(complete[number], 1) << number;
        }
    }
}

TEST_F(KannelGateway, rateHoldsOverAllJobsAndASecondRunOnTheLogIsRefused)
{
    const auto numbers = writeNumbers(30);
    test::ChildProcess first;
    ASSERT_TRUE(startCli(
        first, {"--to-file", "numbers.txt", "--jobs", "8", "--rate", "60", "--log", "run.log"},
        gateway.sendsmsUrl(), "first"));
    ASSERT_TRUE(test::waitUntil([&] { return !readFile(work / "run.log").empty(); }, 30s));
    const auto second = send({"--to", "+491", "--log", "run.log"});
    EXPECT_EQ(second.exitCode, 2);
    EXPECT_NE(second.err.find("the log run.log is in use by another run"), std::string::npos)
        << second.err;

    ASSERT_EQ(first.waitFor(30s), 0) << readFile(work / "first.err");
    // The closing line's time: the first message goes at once, the others one
    // slot of 1/60 s each.
    const std::string said = readFile(work / "first.err");
    const std::size_t at = said.rfind(", in ");
    ASSERT_NE(at, std::string::npos) << said;
    const double expected = static_cast<double>(numbers.size() * messagesPerPush() - 1) / 60;
    EXPECT_NEAR(std::stod(said.substr(at + 5)), expected, expected * 0.1) << said;
}

TEST_F(KannelGateway, ctrlCSaysAtOnceWhatItWaitsForAndASecondStopsAtOnce)
{
    writeNumbers(100);
    // Slow enough to be caught in flight: 20 messages a second.
    const std::vector<std::string> more = {"--to-file", "numbers.txt", "--jobs", "4",
                                           "--rate",    "20",          "--log",  "run.log",
                                           "--resume",  "run.log"};
    const std::string stopping = "stopping: waiting for ";
    for (const bool twice : {false, true}) {
        test::ChildProcess run;
        const std::string name = twice ? "twice" : "once";
        ASSERT_TRUE(startCli(run, more, gateway.sendsmsUrl(), name));
        const std::size_t before = lines(readFile(work / "run.log")).size();
        ASSERT_TRUE(test::waitUntil(
            [&] { return lines(readFile(work / "run.log")).size() > before; }, 30s));
        run.signal(SIGINT);
        // Said at once; two signals sent together would arrive as one.
        EXPECT_TRUE(test::waitUntil(
            [&] { return readFile(work / (name + ".err")).find(stopping) != std::string::npos; },
            2s));
        if (twice)
            run.signal(SIGINT);
        ASSERT_EQ(run.waitFor(30s), 130);
        const std::string said = readFile(work / (name + ".err"));
        EXPECT_NE(said.find(" pushes in flight (Ctrl+C again stops now; they will be logged as "
                            "uncertain)"),
                  std::string::npos)
            << said;
        EXPECT_NE(said.find(twice ? "stopped now: " : " not started, in "), std::string::npos)
            << said;
        // The first waits for every push in flight; the second leaves them uncertain.
        EXPECT_EQ(uncertainIn(readFile(work / "run.log")).empty(), !twice);
    }
}

TEST(KannelGatewayContacts, gatewayListsNoContactsWithANote)
{
    test::TempDir work;
    const auto run = runCli(
        {"contacts", "--phone", "kannel:http://u:p@127.0.0.1:9/cgi-bin/sendsms"}, work.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("a gateway keeps no contacts"), std::string::npos) << run.err;
}

TEST(KannelGatewayTimeout, silentGatewayFailsWithinItsBoundAndNamesTheGateway)
{
    // A loopback port that takes connections into its backlog but never answers.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string endpoint =
        "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/cgi-bin/sendsms";
    const auto parsed = phone::parseGatewayAddress("http://u:topsecret@" + endpoint.substr(7));
    ASSERT_TRUE(parsed.address) << parsed.error;

    phone::KannelGateway silent(*parsed.address, {500ms, 300ms});
    phone::OutgoingMessage message;
    message.recipient = "+491";
    message.userData = {1, 2, 3};
    const auto started = std::chrono::steady_clock::now();
    // It took the connection, so the message may have gone: not "unreachable".
    const phone::PhoneResult result = silent.send(message);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    EXPECT_EQ(result.status, phone::E_GATEWAY_TIMEOUT);
    EXPECT_EQ(result.detail, endpoint + ": no answer within 300 ms");
    const phone::GatewayAnswer answer = silent.lastAnswer();
    EXPECT_FALSE(answer.accepted());
    EXPECT_EQ(answer.httpStatus, 0);
    const std::string described = silent.describe(answer);
    EXPECT_EQ(described, "gateway " + endpoint + ": no answer within 300 ms");
    EXPECT_EQ(described.find("topsecret"), std::string::npos) << described;
    ::close(listener);
}
