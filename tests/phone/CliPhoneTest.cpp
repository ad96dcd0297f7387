#include "CliRunner.h"
#include "DocumentBuilder.h"
#include "FakeModem.h"
#include "HexText.h"
#include "OpenSettings.h"
#include "PushBuilder.h"
#include "SmsPduDecoder.h"
#include "TempDir.h"
#include "TextFile.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>

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
                                                "8642")
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

} // namespace

TEST_F(CliPhone, sendOnASimulatedPhoneDeliversPartsThatReassembleIntoThePush)
{
    const auto run = send("111; 22 2;\t;", {"--phone", simPhone()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "The e-mail settings were successfully sent to the target phone(s).\n");
    EXPECT_NE(run.err.find("recipient 2 of 2"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("message 6 of 6"), std::string::npos) << run.err;

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

TEST_F(CliPhone, unknownPhoneSelectionIsAUsageError)
{
    const auto run = send("111", {"--phone", "carrier-pigeon"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("unknown phone 'carrier-pigeon'"), std::string::npos) << run.err;
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
    const auto push =
        provisioning::encodeProvisioningPush(tables, *provisioning::buildDocument(record), "8642");
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
}
