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
    const auto logged = lines(readFile(work / "run.log"));
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

    // A stopped gateway: a prompt failure, logged as failed.
    gateway.stopSmsbox();
    const auto started = std::chrono::steady_clock::now();
    run = send({"--to", "+492;+493", "--keep-going", "--log", "down.log"});
    EXPECT_LT(std::chrono::steady_clock::now() - started, 15s);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_NE(run.err.find("gateway http://127.0.0.1:"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("0 of 2 recipients sent"), std::string::npos) << run.err;
    const auto logged = lines(readFile(work / "down.log"));
    ASSERT_EQ(logged.size(), 2u);
    for (const std::string& line : logged)
        EXPECT_NE(line.find("\tfailed\t"), std::string::npos) << line;
    EXPECT_TRUE(gateway.received().empty());
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
    EXPECT_EQ(lines(log).size(), 5u);
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
    const std::size_t firstRun = lines(readFile(log)).size();
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
    for (const std::string& line : lines(readFile(log)))
        ++logged[line.substr(0, line.find('\t'))];
    EXPECT_EQ(logged.size(), numbers.size());
    for (const auto& [number, times] : logged)
        EXPECT_EQ(times, 1) << number;
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
