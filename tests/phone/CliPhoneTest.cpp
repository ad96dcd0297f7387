#include "ChildProcess.h"
#include "CliRunner.h"
#include "DocumentBuilder.h"
#include "FakeModem.h"
#include "HexText.h"
#include "OpenSettings.h"
#include "PushBuilder.h"
#include "SmsPduDecoder.h"
#include "TempDir.h"
#include "TextFile.h"

#include <arpa/inet.h>
#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <netinet/in.h>
#include <set>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace mailvane;
using test::runCli;
namespace fs = std::filesystem;

namespace {

using mailvane::test::readFile;

const fs::path Examples = MAILVANE_EXAMPLES_DIR;
const fs::path TokenTable = MAILVANE_TOKEN_TABLE_PATH;

void writeFile(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// The environment a test runs the program in: no phone configured anywhere
// unless the test says so, and no user Gammu configuration.
class CliPhone : public ::testing::Test
{
protected:
    void SetUp() override { test::isolateProgramSettings(home.path()); }

    test::CliRun send(const std::string& to, const std::vector<std::string>& more = {})
    {
        std::vector<std::string> args = {"send",    (Examples / "imap4-gprs.txt").string(),
                                         "--pin",   "8642",
                                         "--to",    to,
                                         "--table", TokenTable.string()};
        args.insert(args.end(), more.begin(), more.end());
        return runCli(args, work.path());
    }

    std::string simPhone() const { return "sim:" + phoneDir.path().string(); }

    test::TempDir home;
    test::TempDir work;
    test::TempDir phoneDir;
};

std::string expectedPush()
{
    settings::EmailSettings record;
    EXPECT_TRUE(settings::openSettingsFile(Examples / "imap4-gprs.txt", record).ok());
    provisioning::TokenTables tables;
    EXPECT_TRUE(tables.load(TokenTable));
    return provisioning::encodeProvisioningPush(tables, *provisioning::buildDocument(record),
                                                provisioning::userPinSecurity("8642"))
        .value_or("");
}

struct OutboxPart
{
    std::string recipient;
    unsigned reference;
    unsigned sequence;
    unsigned count;
    std::vector<std::uint8_t> data;
};

// Every message of the outbox, from its PDU; the readable line must agree.
std::vector<OutboxPart> outboxParts(const fs::path& outbox)
{
    std::vector<OutboxPart> parts;
    std::istringstream lines(readFile(outbox));
    std::string pduLine;
    std::string readable;
    while (std::getline(lines, pduLine) && std::getline(lines, readable)) {
        EXPECT_TRUE(pduLine.starts_with("PDU ")) << pduLine;
        const auto decoded = test::decodeSubmit(pduLine.substr(4));
        if (!decoded) {
            ADD_FAILURE() << pduLine;
            continue;
        }
        EXPECT_EQ(decoded->dataCoding, 0xF4);
        const auto& header = decoded->userDataHeader;
        if (header.size() != 12) {
            ADD_FAILURE() << "not a concatenated part";
            continue;
        }
        const OutboxPart part{decoded->destination, header[9], header[11], header[10],
                              decoded->userData};
        EXPECT_EQ(readable, "# to " + part.recipient + ", reference " +
                                std::to_string(part.reference) + ", part " +
                                std::to_string(part.sequence) + " of " +
                                std::to_string(part.count));
        parts.push_back(part);
    }
    return parts;
}

// The push the outbox holds, its parts put together in order, as hexadecimal.
std::string pushInOutbox(const fs::path& outbox)
{
    std::vector<std::uint8_t> whole;
    for (const OutboxPart& part : outboxParts(outbox))
        whole.insert(whole.end(), part.data.begin(), part.data.end());
    return provisioning::hex::encode(whole);
}

// A TCP port on loopback, bound and not listening: nothing answers there
// until listen() is called on fd().
class LoopbackPort
{
public:
    LoopbackPort()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
            m_port = ntohs(address.sin_port);
    }
    ~LoopbackPort() { ::close(m_fd); }
    LoopbackPort(const LoopbackPort&) = delete;
    LoopbackPort& operator=(const LoopbackPort&) = delete;

    int fd() const { return m_fd; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(m_port); }

private:
    int m_fd = -1;
    unsigned m_port = 0;
};

// A listener on loopback that counts the connections made to it and closes
// each at once: a proxy that nobody should reach.
class ProxyTrap
{
public:
    ProxyTrap()
    {
        if (::listen(m_port.fd(), 8) != 0)
            return;
        m_thread = std::thread([this] {
            for (int peer; (peer = ::accept(m_port.fd(), nullptr, nullptr)) >= 0;) {
                ++m_connections;
                ::close(peer);
            }
        });
    }
    ~ProxyTrap()
    {
        ::shutdown(m_port.fd(), SHUT_RDWR);
        if (m_thread.joinable())
            m_thread.join();
    }
    ProxyTrap(const ProxyTrap&) = delete;
    ProxyTrap& operator=(const ProxyTrap&) = delete;

    std::string url() const { return m_thread.joinable() ? m_port.url() : std::string(); }
    int connections() const { return m_connections; }

private:
    LoopbackPort m_port;
    std::atomic<int> m_connections{0};
    std::thread m_thread;
};

} // namespace

TEST_F(CliPhone, sendOnASimulatedPhoneDeliversPartsThatReassembleIntoThePush)
{
    const auto run = send("111; 22 2;\t;", {"--phone", simPhone()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "The e-mail settings were successfully sent to the target phone(s).\n");
    EXPECT_NE(run.err.find("recipient 2 of 2"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("message 6 of 6"), std::string::npos) << run.err;
    EXPECT_EQ(fs::status(phoneDir / "outbox.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    const std::string push = expectedPush();
    std::map<std::string, std::vector<OutboxPart>> byRecipient;
    for (OutboxPart& part : outboxParts(phoneDir / "outbox.txt"))
        byRecipient[part.recipient].push_back(std::move(part));
    ASSERT_EQ(byRecipient.size(), 2u);
    unsigned expectedReference = 1;
    for (const char* recipient : {"111", "222"}) {
        SCOPED_TRACE(recipient);
        const auto& parts = byRecipient[recipient];
        ASSERT_FALSE(parts.empty());
        std::vector<std::uint8_t> whole;
        for (std::size_t k = 0; k < parts.size(); ++k) {
            EXPECT_EQ(parts[k].sequence, k + 1);
            EXPECT_EQ(parts[k].count, parts.size());
            EXPECT_EQ(parts[k].reference, expectedReference);
            whole.insert(whole.end(), parts[k].data.begin(), parts[k].data.end());
        }
        EXPECT_EQ(provisioning::hex::encode(whole),
                  provisioning::hex::encode(provisioning::hex::decode(push)));
        ++expectedReference;
    }
}

TEST_F(CliPhone, refusedMessageStopsTheLoopAndNamesTheRefusal)
{
    writeFile(phoneDir / "phone.conf", "refuse = 2\n");
    const auto run = send("111;222", {"--phone", simPhone()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("mailvane-cli: 111: the phone refused the message (message 2 refused, "
                           "as phone.conf asks) at message 2 of 6 (status 0x80040210); 0 of 2 "
                           "recipients sent"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("recipient 2 of 2"), std::string::npos) << run.err;
    EXPECT_EQ(outboxParts(phoneDir / "outbox.txt").size(), 1u);
}

// The real program loads the back ends as a module: what the device said
// must still reach the line, for sending and for listing contacts.
TEST_F(CliPhone, unreachablePhoneIsNotConnectedAndSaysWhy)
{
    writeFile(phoneDir / "phone.conf", "unplugged = yes\n");
    const std::string noPhone = "no phone is configured: set MAILVANE_PHONE or Phone/Device";
    const std::pair<std::string, std::string> cases[] = {
        {simPhone(), "unplugged, as phone.conf says"},
        {"none", noPhone},
        {"", noPhone},
        {"gammu:/dev/ttyNONEXIST", "the device /dev/ttyNONEXIST does not exist; libgammu: "},
    };
    for (const auto& [phone, why] : cases) {
        SCOPED_TRACE(phone);
        const auto run = phone.empty() ? send("111") : send("111", {"--phone", phone});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find("Phone isn't connected: " + why), std::string::npos) << run.err;
        std::vector<std::string> args = {"contacts"};
        if (!phone.empty())
            args.insert(args.end(), {"--phone", phone});
        const auto listed = runCli(args, work.path());
        EXPECT_EQ(listed.exitCode, 1);
        EXPECT_NE(listed.err.find("mailvane-cli: cannot read the phone's contacts (" + why),
                  std::string::npos)
            << listed.err;
    }
    EXPECT_FALSE(fs::exists(phoneDir / "outbox.txt"));
}

TEST_F(CliPhone, recipientsWithoutANumberAreAnErrorNotASuccess)
{
    for (const std::string& to : {std::string(""), std::string(" ; ;\t")}) {
        const auto run = send(to, {"--phone", simPhone()});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find("No recipients are selected."), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(phoneDir / "outbox.txt"));
}

TEST_F(CliPhone, numbersAreTakenAsTheWindowTakesThemAndOneThatIsNoneSendsNothing)
{
    const auto grouped = send("\u202A+45 33-44-55-66\u202C; (040) 12.34", {"--phone", simPhone()});
    EXPECT_EQ(grouped.exitCode, 0) << grouped.err;
    std::set<std::string> recipients;
    for (const OutboxPart& part : outboxParts(phoneDir / "outbox.txt"))
        recipients.insert(part.recipient);
    EXPECT_EQ(recipients, (std::set<std::string>{"+4533445566", "0401234"}));
    fs::remove(phoneDir / "outbox.txt");

    writeFile(work / "list.txt", "# team\n111\n222; Anna\n");
    struct Case
    {
        std::string to;
        std::vector<std::string> more;
        std::string message;
    };
    const Case cases[] = {
        {"111;+45 1x", {}, "mailvane-cli: --to: \"+45 1x\" is not a phone number.\n"},
        {"333",
         {"--to-file", "list.txt"},
         "mailvane-cli: the number list list.txt, line 3: \"Anna\" is not a phone number.\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> more = c.more;
        more.insert(more.end(), {"--phone", simPhone()});
        const auto run = send(c.to, more);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.err, c.message);
    }
    EXPECT_FALSE(fs::exists(phoneDir / "outbox.txt"));
}

// Whatever path a gateway URL takes to a message (refused from the command
// line or the environment, a failed request in the progress, the outcome and
// the log), its password is hidden; a password on the command line, where
// other users read it, draws one warning.
TEST_F(CliPhone, unknownPhonesAndGatewaysAreNamedWithoutTheirPassword)
{
    const LoopbackPort closed;
    const std::string down = "kannel:" + closed.url().insert(7, "ops:secret@") + "/cgi-bin/sendsms";
    struct Case
    {
        std::string phone;
        bool fromEnvironment;
        int exitCode;
        std::string said;
    };
    const Case cases[] = {
        {"carrier-pigeon", false, 2, "unknown phone 'carrier-pigeon'"},
        {"kannel:ftp://ops:secret@gw/s", false, 2, "unknown phone 'kannel:ftp://ops:***@gw/s'"},
        {"kannel:ftp://ops:secret@gw/s", true, 1, "unknown phone 'kannel:ftp://ops:***@gw/s'"},
        {"kannel:ops:secret@gw/s", false, 2, "unknown phone 'kannel:***@gw/s'"},
        {"kannel:http://gw/s?user=ops&pass=secret&to=1", true, 1,
         "unknown phone 'kannel:http://gw/s?user=ops&pass=***&to=1'"},
        {down, false, 1, "gateway " + closed.url() + "/cgi-bin/sendsms"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.phone);
        std::vector<std::string> more = {"--log", (work / "sent.log").string(), "--retries", "0"};
        if (c.fromEnvironment)
            ::setenv("MAILVANE_PHONE", c.phone.c_str(), 1);
        else
            more.insert(more.end(), {"--phone", c.phone});
        const auto run = send("111", more);
        ::unsetenv("MAILVANE_PHONE");
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        const bool warned = !c.fromEnvironment && c.phone.find('@') != std::string::npos;
        EXPECT_EQ(run.err.find("warning: the password in --phone") != std::string::npos, warned)
            << run.err;
        EXPECT_EQ((run.out + run.err + readFile(work / "sent.log")).find("secret"),
                  std::string::npos)
            << run.err;
    }
    EXPECT_NE(readFile(work / "sent.log").find("\tfailed\t"), std::string::npos);
}

// Requests go to the gateway itself, never through a proxy the environment
// names; only --proxy sends them through one.
TEST_F(CliPhone, theGatewayIsReachedThroughAProxyOnlyWhenOneIsNamed)
{
    const ProxyTrap trap;
    ASSERT_FALSE(trap.url().empty());
    const LoopbackPort closed;
    const std::string gateway = "kannel:" + closed.url().insert(7, "ops:pw@") + "/cgi-bin/sendsms";
    ::unsetenv("no_proxy");
    ::unsetenv("NO_PROXY");
    for (const char* variable : {"http_proxy", "HTTPS_PROXY", "https_proxy", "ALL_PROXY"})
        ::setenv(variable, trap.url().c_str(), 1);
    ::setenv("MAILVANE_PHONE", gateway.c_str(), 1);
    const auto direct = send("111", {"--retries", "0"});
    EXPECT_EQ(direct.exitCode, 1);
    EXPECT_EQ(trap.connections(), 0) << direct.err;

    const auto proxied = send("111", {"--proxy", trap.url(), "--retries", "0"});
    EXPECT_EQ(proxied.exitCode, 1);
    EXPECT_GE(trap.connections(), 1) << proxied.err;
    for (const char* variable :
         {"http_proxy", "HTTPS_PROXY", "https_proxy", "ALL_PROXY", "MAILVANE_PHONE"})
        ::unsetenv(variable);
}

// Each way of giving the PIN keys the same push as --pin; none of them
// leaves it on the command line.
// Every route a PIN takes: the good ones send the push the PIN makes, a bad
// one sends nothing and never echoes the PIN.
TEST_F(CliPhone, thePinComesFromAPrivateFileTheEnvironmentOrStandardInput)
{
    const fs::path pinFile = work / "pin";
    writeFile(pinFile, "8642\r\nnot this line\n");
    fs::permissions(pinFile, fs::perms::owner_read | fs::perms::owner_write);
    const fs::path open = work / "open-pin";
    writeFile(open, "8642\n");
    fs::permissions(open, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                              fs::perms::others_read);
    const fs::path empty = work / "empty-pin";
    writeFile(empty, "\n");
    fs::permissions(empty, fs::perms::owner_read);
    writeFile(work / "stdin", "8642\n");
    struct Case
    {
        std::vector<std::string> more;
        const char* environment;
        fs::path input;
        int exitCode;
        const char* said; // nullptr: the push went
    };
    const Case cases[] = {
        {{"--pin-file", pinFile.string()}, nullptr, {}, 0, nullptr},
        {{}, "8642", {}, 0, nullptr},
        {{"--pin", "-"}, nullptr, work / "stdin", 0, nullptr},
        {{"--pin", "8642"}, "1111", {}, 0, nullptr},
        {{"--pin-file", open.string()},
         nullptr,
         {},
         1,
         "(mode 0644), so it is not used; make it private"},
        {{"--pin-file", empty.string()}, nullptr, {}, 1, "holds no PIN on its first line"},
        {{"--pin-file", (work / "missing").string()}, nullptr, {}, 1, "cannot read the PIN file"},
        {{"--pin", "8642", "--pin-file", empty.string()}, nullptr, {}, 2, "give the PIN once"},
        {{"--pin", "-", "--to-file", "-"}, nullptr, {}, 2, "cannot both read standard input"},
        {{"--pin", "-"}, nullptr, {}, 1, "no PIN on standard input"},
    };
    const std::string push = provisioning::hex::encode(provisioning::hex::decode(expectedPush()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.said ? c.said : c.more.empty() ? "MAILVANE_PIN" : c.more.front().c_str());
        fs::remove(phoneDir / "outbox.txt");
        if (c.environment)
            ::setenv("MAILVANE_PIN", c.environment, 1);
        std::vector<std::string> args = {"send",    (Examples / "imap4-gprs.txt").string(),
                                         "--to",    "111",
                                         "--table", TokenTable.string(),
                                         "--phone", simPhone()};
        args.insert(args.end(), c.more.begin(), c.more.end());
        const auto run = runCli(args, work.path(), {}, c.input);
        ::unsetenv("MAILVANE_PIN");
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        if (c.said) {
            EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
            EXPECT_EQ(run.err.find("8642"), std::string::npos) << run.err;
            EXPECT_FALSE(fs::exists(phoneDir / "outbox.txt"));
        } else {
            EXPECT_EQ(pushInOutbox(phoneDir / "outbox.txt"), push);
        }
    }
}

// What another local user sees of a send under way: its command line, which
// names the PIN file but not the PIN, and not its environment.
TEST_F(CliPhone, anotherUserReadsNoPinFromTheCommandLineOfASend)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "running as a second user needs root";
    const fs::path pinFile = work / "pin";
    writeFile(pinFile, "8642\n");
    fs::permissions(pinFile, fs::perms::owner_read | fs::perms::owner_write);
    const fs::path numbers = work / "numbers";
    ASSERT_EQ(::mkfifo(numbers.c_str(), 0600), 0);

    // Held open here, the pipe always has a writer: the send, once it has
    // opened it, waits for its numbers while it is looked at.
    const int writer = ::open(numbers.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    test::ChildProcess sender;
    ASSERT_TRUE(sender.start({MAILVANE_CLI_PATH, "send", (Examples / "imap4-gprs.txt").string(),
                              "--to-file", numbers.string(), "--pin-file", pinFile.string(),
                              "--table", TokenTable.string(), "--phone", simPhone()},
                             work.path(), work / "send.out", work / "send.err"));
    const fs::path process = "/proc/" + std::to_string(sender.pid());
    const fs::path descriptors = process / "fd";
    // Until it runs the program, the started child still holds the test's own
    // end of the pipe: only the program's open counts.
    ASSERT_TRUE(test::waitUntil(
        [&] {
            std::error_code error;
            if (fs::read_symlink(process / "exe", error) != fs::canonical(MAILVANE_CLI_PATH))
                return false;
            for (fs::directory_iterator fd(descriptors, error), end; !error && fd != end;
                 fd.increment(error)) {
                if (fs::read_symlink(fd->path(), error) == fs::canonical(numbers))
                    return true;
            }
            return false;
        },
        std::chrono::seconds(10)));
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const pid_t looker = ::fork();
    if (looker == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        const std::string proc = "/proc/" + std::to_string(sender.pid());
        std::string seen = readFile(proc + "/cmdline");
        const int environment = ::open((proc + "/environ").c_str(), O_RDONLY);
        seen += environment < 0 ? "|environ closed" : "|environ open";
        const bool written =
            ::write(channel[1], seen.data(), seen.size()) == static_cast<ssize_t>(seen.size());
        ::_exit(written ? 0 : 3);
    }
    ::close(channel[1]);
    std::string seen;
    char buffer[4096];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        seen.append(buffer, static_cast<std::size_t>(got));
    ::close(channel[0]);
    ::waitpid(looker, nullptr, 0);
    ASSERT_EQ(::write(writer, "111\n", 4), 4);
    ::close(writer);

    EXPECT_NE(seen.find("--pin-file"), std::string::npos) << seen;
    EXPECT_EQ(seen.find("8642"), std::string::npos) << seen;
    EXPECT_NE(seen.find("|environ closed"), std::string::npos) << seen;
    EXPECT_EQ(sender.waitFor(std::chrono::seconds(30)), 0) << readFile(work / "send.err");
    EXPECT_EQ(pushInOutbox(phoneDir / "outbox.txt"),
              provisioning::hex::encode(provisioning::hex::decode(expectedPush())));
}

TEST_F(CliPhone, phoneComesFromTheOptionThenTheEnvironmentThenTheSettingsStore)
{
    test::TempDir fromStore;
    test::TempDir fromEnvironment;
    fs::create_directories(home / "xdg" / "Orvex");
    writeFile(home / "xdg" / "Orvex" / "Quill.conf",
              "[Phone]\nDevice=sim:" + fromStore.path().string() + "\n");

    EXPECT_EQ(send("111").exitCode, 0);
    EXPECT_TRUE(fs::exists(fromStore / "outbox.txt"));

    ::setenv("MAILVANE_PHONE", ("sim:" + fromEnvironment.path().string()).c_str(), 1);
    EXPECT_EQ(send("222").exitCode, 0);
    EXPECT_TRUE(fs::exists(fromEnvironment / "outbox.txt"));

    EXPECT_EQ(send("333", {"--phone", simPhone()}).exitCode, 0);
    EXPECT_TRUE(fs::exists(phoneDir / "outbox.txt"));
    EXPECT_EQ(outboxParts(fromStore / "outbox.txt").front().recipient, "111");
    EXPECT_EQ(outboxParts(fromEnvironment / "outbox.txt").front().recipient, "222");
}

TEST_F(CliPhone, contactsListNamesAndNumbersInPhoneOrder)
{
    writeFile(phoneDir / "contacts.txt", "Ånna;+491701;0301\n;0800\nZoë;555\n");
    const auto run = runCli({"contacts", "--phone", simPhone()}, work.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "Ånna\t+491701\nÅnna\t0301\nZoë\t555\n");

    writeFile(phoneDir / "phone.conf", "unplugged = yes\n");
    const auto unplugged = runCli({"contacts", "--phone", simPhone()}, work.path());
    EXPECT_EQ(unplugged.exitCode, 1);
    EXPECT_TRUE(unplugged.out.empty());
    EXPECT_EQ(unplugged.err, "mailvane-cli: cannot read the phone's contacts (unplugged, as "
                             "phone.conf says, status 0x80040221)\n");
}

// A store that cannot be listed leaves the rest printed, says which store is
// missing and why, and fails, so that a short list never passes for the whole.
TEST_F(CliPhone, contactsPastTheLimitAreReportedMissingBesideTheRest)
{
    test::FakeModem modem;
    std::vector<test::FakePhonebookEntry> crowded;
    for (int i = 1; i <= 10001; ++i) // one past the most a store may list
        crowded.push_back({i, "555" + std::to_string(i), 129, u"x"});
    modem.setPhonebook("ME", std::move(crowded), 20000);
    modem.setPhonebook("SM", {{1, "+4917022222", 145, u"Zoë"}}, 5);
    const auto run = runCli({"contacts", "--phone", "gammu:" + modem.devicePath()}, work.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "Zoë\t+4917022222\n");
    EXPECT_EQ(run.err, "mailvane-cli: Incomplete list: the phone's memory holds more than 10000 "
                       "contacts, more than can be listed. (status 0x80040240)\n");
}

TEST_F(CliPhone, sendThroughGammuReachesAnAtModem)
{
    test::FakeModem modem;
    const auto run = runCli({"send", (Examples / "imap4-gprs.txt").string(), "--pin", "8642",
                             "--to", "+4917012345", "--table", TokenTable.string(), "--phone",
                             "gammu:" + modem.devicePath()},
                            work.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "The e-mail settings were successfully sent to the target phone(s).\n");

    settings::EmailSettings record;
    ASSERT_TRUE(settings::openSettingsFile(Examples / "imap4-gprs.txt", record).ok());
    provisioning::TokenTables tables;
    ASSERT_TRUE(tables.load(TokenTable));
    const auto push = provisioning::encodeProvisioningPush(
        tables, *provisioning::buildDocument(record), provisioning::userPinSecurity("8642"));
    std::vector<std::uint8_t> whole;
    const auto submissions = modem.submissions();
    ASSERT_EQ(submissions.size(), 6u);
    for (const auto& submission : submissions) {
        const auto decoded = test::decodeSubmit(submission.pduHex);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->destination, "+4917012345");
        EXPECT_EQ(decoded->dataCoding, 0xF4);
        whole.insert(whole.end(), decoded->userData.begin(), decoded->userData.end());
    }
    EXPECT_EQ(whole, provisioning::hex::decode(push.value()));

    // A modem that keeps no messages gives no reports: said once, and the
    // push still goes, each message asking for its report.
    const auto reported =
        runCli({"send", (Examples / "imap4-gprs.txt").string(), "--pin", "8642", "--to",
                "+4917012345", "--table", TokenTable.string(), "--phone",
                "gammu:" + modem.devicePath(), "--reports", "--wait-reports", "0"},
               work.path());
    EXPECT_EQ(reported.exitCode, 0) << reported.err;
    const std::string cannot = "Cannot read delivery reports from the phone";
    const auto said = reported.err.find(cannot);
    ASSERT_NE(said, std::string::npos) << reported.err;
    EXPECT_EQ(reported.err.find(cannot, said + 1), std::string::npos) << reported.err;
    EXPECT_NE(reported.err.find("1 sent, 0 failed, 0 skipped, 0 already sent, 0 uncertain, 0 "
                                "delivered, 0 not delivered, 1 no report"),
              std::string::npos)
        << reported.err;
    const auto asked = modem.submissions();
    ASSERT_EQ(asked.size(), 12u);
    EXPECT_TRUE(test::decodeSubmit(asked.back().pduHex)->statusReportRequested);
}
