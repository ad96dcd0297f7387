// One mailbox per person through a real Kannel gateway on loopback, and the
// network-PIN keys checked against the pushes Kannel builds itself.

#include "ChildProcess.h"
#include "CliRunner.h"
#include "DocumentBuilder.h"
#include "HexText.h"
#include "KannelHarness.h"
#include "OpenSettings.h"
#include "PushBuilder.h"
#include "PushSecurity.h"
#include "TempDir.h"
#include "TextFile.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>

using namespace mailvane;
using test::runCli;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using mailvane::test::readFile;
using mailvane::test::lines;

const fs::path Examples = MAILVANE_EXAMPLES_DIR;
const fs::path Template = Examples / "imap4-gprs.txt";
// The same servers without anyone's user name, password or address.
const fs::path RowsTemplate = Examples / "staff-template.txt";
const fs::path TokenTable = MAILVANE_TOKEN_TABLE_PATH;

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string urlEncoded(std::string_view bytes)
{
    std::string out;
    for (const char c : bytes) {
        char escaped[4];
        std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
        out += escaped;
    }
    return out;
}

// A connectionless WSP push as a phone reads it: the SEC parameter, the MAC
// text and the WBXML body after the headers.
struct DecodedPush
{
    bool ok = false;
    std::uint8_t sec = 0;
    std::string mac; // as sent: 40 upper-case hexadecimal digits
    std::vector<std::uint8_t> body;
};

DecodedPush decodePush(const std::vector<std::uint8_t>& bytes)
{
    DecodedPush push;
    // Transaction id, PDU type Push, headers length (one octet below 128).
    if (bytes.size() < 3 || bytes[1] != 0x06 || bytes[2] >= 0x80 || bytes.size() < 3u + bytes[2])
        return push;
    const std::vector<std::uint8_t> headers(bytes.begin() + 3, bytes.begin() + 3 + bytes[2]);
    // Length quote, length, connectivity-wbxml, SEC value, MAC text, NUL.
    if (headers.size() != 47 || headers[0] != 0x1F || headers[2] != 0xB6 || headers[3] != 0x91 ||
        headers[5] != 0x92 || headers[46] != 0x00)
        return push;
    push.sec = headers[4];
    push.mac.assign(headers.begin() + 6, headers.begin() + 46);
    push.body.assign(bytes.begin() + 3 + bytes[2], bytes.end());
    push.ok = true;
    return push;
}

std::string run(const std::string& command)
{
    std::string output;
    if (FILE* pipe = ::popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, got);
        ::pclose(pipe);
    }
    return output;
}

class KannelRows : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::unsetenv("MAILVANE_PHONE");
        ::setenv("HOME", home.path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        ASSERT_TRUE(gateway.start()) << gateway.error();
    }

    std::vector<std::string> sendArguments(const std::vector<std::string>& more) const
    {
        std::vector<std::string> args = {"send",    RowsTemplate.string(),
                                         "--table", TokenTable.string(),
                                         "--phone", "kannel:" + gateway.sendsmsUrl()};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    // The WBXML body as libwbxml decodes it to XML.
    std::string decodedXml(const std::vector<std::uint8_t>& body)
    {
        std::ofstream(work / "body.wbxml", std::ios::binary)
            .write(reinterpret_cast<const char*>(body.data()),
                   static_cast<std::streamsize>(body.size()));
        const std::string output = run("wbxml2xml -l PROV10 -o '" + (work / "body.xml").string() +
                                       "' '" + (work / "body.wbxml").string() + "'");
        EXPECT_TRUE(fs::exists(work / "body.xml")) << output;
        return readFile(work / "body.xml");
    }

    test::TempDir home;
    test::TempDir work;
    test::TempDir kannelDir;
    test::KannelHarness gateway{kannelDir.path()};
};

} // namespace

TEST_F(KannelRows, threeRowTableGivesEachPhoneItsOwnMailbox)
{
    struct Person
    {
        std::string number, address, user, password, pin;
    };
    const std::vector<Person> people = {
        {"+4917011", "bea.berg@example.com", "bea.berg", "Pw-Bea-1", "2811"},
        {"+4917012", "carl.dahl@example.com", "carl.dahl", "Pw-Carl-2", "5555"}, // --pin's
        {"+4917013", "dina.ek@example.com", "dina.ek", "Pw-Dina-3", "0417"},
    };
    std::ofstream(work / "staff.csv")
        << "\xEF\xBB\xBFnumber;E-Mail Address;Incoming Server Username;"
           "Incoming Server Password;pin\r\n"
        << "+4917011;bea.berg@example.com;bea.berg;Pw-Bea-1;2811\r\n"
        << "+49 170 12;carl.dahl@example.com;carl.dahl;Pw-Carl-2;\r\n"
        << "+4917013;dina.ek@example.com;dina.ek;Pw-Dina-3;0417\r\n";

    const auto run = runCli(
        sendArguments({"--rows", "staff.csv", "--pin", "5555", "--jobs", "2", "--log", "run.log"}),
        work.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const auto encoded = runCli({"encode", RowsTemplate.string(), "--table", TokenTable.string(),
                                 "--rows", "staff.csv", "--pin", "5555", "--format", "messages"},
                                work.path());
    ASSERT_EQ(encoded.exitCode, 0) << encoded.err;
    const std::size_t messages = lines(encoded.out).size();
    ASSERT_TRUE(gateway.waitForReceived(messages, 30s));
    ASSERT_EQ(gateway.received().size(), messages);

    std::map<std::string, test::ReceivedPush> pushes;
    for (test::ReceivedPush& push : test::reassemblePushes(gateway.received())) {
        EXPECT_TRUE(push.complete) << push.to;
        EXPECT_TRUE(pushes.emplace(push.to, std::move(push)).second) << "two pushes to one phone";
    }
    ASSERT_EQ(pushes.size(), people.size());
    for (const Person& person : people) {
        SCOPED_TRACE(person.number);
        const DecodedPush push = decodePush(pushes.at(person.number).bytes);
        ASSERT_TRUE(push.ok);
        EXPECT_EQ(push.sec, 0x81); // USERPIN
        // The phone accepts it with this person's PIN...
        EXPECT_EQ(push.mac, upper(provisioning::computeMac(person.pin,
                                                           provisioning::hex::encode(push.body))));
        // ...and it holds this person's mailbox on the template's servers.
        const std::string xml = decodedXml(push.body);
        for (const std::string& value :
             {person.address, person.user, person.password, std::string("imap.example.com")})
            EXPECT_NE(xml.find("value=\"" + value + "\""), std::string::npos) << value << "\n"
                                                                              << xml;
        for (const Person& other : people) {
            if (other.number != person.number) {
                EXPECT_EQ(xml.find(other.address), std::string::npos) << other.address;
            }
        }
    }

    const auto logged = test::loggedEndings(readFile(work / "run.log"));
    ASSERT_EQ(logged.size(), people.size());
    std::set<std::string> loggedRows;
    for (const std::string& line : logged) {
        EXPECT_NE(line.find("\tsent\t"), std::string::npos) << line;
        loggedRows.insert(line.substr(0, line.find('\t')) + " " +
                          line.substr(line.rfind('\t') + 1));
        for (const Person& person : people) {
            EXPECT_EQ(line.find(person.pin), std::string::npos) << line;
            EXPECT_EQ(line.find(person.password), std::string::npos) << line;
        }
    }
    EXPECT_EQ(loggedRows,
              (std::set<std::string>{"+4917011 line 2", "+4917012 line 3", "+4917013 line 4"}));
}

TEST_F(KannelRows, resumeAfterCtrlCSendsEachRowExactlyOnce)
{
    const std::size_t count = 300;
    {
        std::ofstream table(work / "staff.csv");
        table << "number,E-Mail Address,Incoming Server Username\n";
        for (std::size_t i = 0; i < count; ++i)
            table << "+4916" << 100000 + i << ",p" << i << "@example.com,p" << i << "\n";
    }
    const fs::path log = work / "run.log";
    const std::vector<std::string> more = {"--rows",   "staff.csv", "--pin", "1357",
                                           "--jobs",   "2",         "--log", log.string(),
                                           "--resume", log.string()};

    test::ChildProcess first;
    std::vector<std::string> args = sendArguments(more);
    args.insert(args.begin(), MAILVANE_CLI_PATH);
    ASSERT_TRUE(first.start(args, work.path(), work / "first.out", work / "first.err"));
    ASSERT_TRUE(test::waitUntil([&] { return lines(readFile(log)).size() >= 10; }, 30s));
    first.signal(SIGINT);
    ASSERT_EQ(first.waitFor(30s), 130) << readFile(work / "first.err");
    const std::size_t firstRun = test::loggedEndings(readFile(log)).size();
    EXPECT_LT(firstRun, count);

    const auto second = runCli(sendArguments(more), work.path());
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_NE(second.err.find("Skipping " + std::to_string(firstRun)), std::string::npos)
        << second.err;

    // Every row exactly once, each with its own mailbox.
    ASSERT_TRUE(test::waitUntil(
        [&] { return test::reassemblePushes(gateway.received()).size() >= count; }, 60s));
    std::map<std::string, int> received;
    for (const test::ReceivedPush& push : test::reassemblePushes(gateway.received())) {
        EXPECT_TRUE(push.complete) << push.to;
        ++received[push.to];
        const std::size_t row = std::stoul(push.to.substr(5)) - 100000;
        const std::string address = "p" + std::to_string(row) + "@example.com";
        const std::string bytes(push.bytes.begin(), push.bytes.end());
        EXPECT_NE(bytes.find(address), std::string::npos) << push.to;
    }
    EXPECT_EQ(received.size(), count);
    for (const auto& [number, times] : received)
        EXPECT_EQ(times, 1) << number;
    std::map<std::string, int> logged;
    for (const std::string& line : test::loggedEndings(readFile(log)))
        ++logged[line.substr(0, line.find('\t'))];
    EXPECT_EQ(logged.size(), count);
    for (const auto& [number, times] : logged)
        EXPECT_EQ(times, 1) << number;
}

// Kannel's sendota builds an OMA settings push itself and keys its MAC with
// the bytes of its pin parameter as given: handed the key of our
// construction, it must arrive at the MAC our routine computes over Kannel's
// own body, with the SEC value we send.
TEST_F(KannelRows, networkPinKeysGiveKannelsMacOverKannelsOwnPush)
{
    settings::EmailSettings record;
    ASSERT_TRUE(settings::openSettingsFile(Template, record).ok());
    const std::string document =
        "<?xml version=\"1.0\"?>\n<wap-provisioningdoc version=\"1.0\">\n" +
        provisioning::buildDocument(record).value() + "</wap-provisioningdoc>\n";
    struct Case
    {
        const char* method;
        provisioning::PushSecurity security;
        std::string imsi;
    };
    const Case cases[] = {
        {"netwpin", *provisioning::networkPinSecurity("262011234567890"), "262011234567890"},
        {"usernetwpin", *provisioning::userNetworkPinSecurity("21407650123456", "1234"),
         "21407650123456"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.method);
        const std::string to = "+4918" + std::to_string(i);
        const std::string answer = gateway.smsboxGet(
            "/cgi-bin/sendota?username=" + std::string(test::KannelHarness::User) +
            "&password=" + test::KannelHarness::Password + "&from=Kannel&to=" + urlEncoded(to) +
            "&type=oma-settings&sec=" + c.method + "&pin=" + urlEncoded(c.security.key) +
            "&text=" + urlEncoded(document));
        ASSERT_NE(answer.find("Accepted for delivery"), std::string::npos) << answer;

        std::optional<test::ReceivedPush> pushed;
        ASSERT_TRUE(test::waitUntil(
            [&] {
                for (const test::ReceivedPush& push : test::reassemblePushes(gateway.received())) {
                    if (push.to == to && push.complete)
                        pushed = push;
                }
                return pushed.has_value();
            },
            20s));
        const DecodedPush push = decodePush(pushed->bytes);
        ASSERT_TRUE(push.ok);
        const std::string body = provisioning::hex::encode(push.body);

        const std::string ours = provisioning::buildPush(c.security, body);
        EXPECT_EQ(provisioning::hex::decode(ours.substr(14, 2)).at(0), push.sec);
        EXPECT_EQ(push.mac, upper(provisioning::computeMac(c.security.key, body)));
        // The IMSI's plain digits are not the key.
        EXPECT_NE(push.mac, upper(provisioning::computeMac(c.imsi, body)));
    }
}
