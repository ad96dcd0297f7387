#include "GammuPhone.h"

#include "DocumentBuilder.h"
#include "FakeModem.h"
#include "MessageSegmenter.h"
#include "OpenSettings.h"
#include "PhoneBackEnd.h"
#include "PhoneLink.h"
#include "PhoneStatus.h"
#include "PushBuilder.h"
#include "ServiceObjects.h"
#include "SmsPduDecoder.h"
#include "TempDir.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

using namespace mailvane;
using namespace std::chrono_literals;
using phone::GammuPhone;
using phone::PhoneLink;
using test::FakeModem;

namespace {

const std::filesystem::path TokenTable = MAILVANE_TOKEN_TABLE_PATH;
const std::filesystem::path Examples = std::filesystem::path(MAILVANE_SOURCE_DIR) / "examples";
constexpr const char* Pin = "2468";
constexpr const char* Recipient = "+4917012345";

// libgammu paces an AT modem by itself (about 0.7 s a message, 3.5 s to
// connect); the bounds leave room for that on a busy machine and no more.
phone::GammuTimeouts testTimeouts()
{
    phone::GammuTimeouts timeouts;
    timeouts.connect = 20s;
    timeouts.message = 8s;
    timeouts.abortGrace = 3s;
    return timeouts;
}

settings::EmailSettings threeMessageRecord()
{
    settings::EmailSettings record;
    EXPECT_TRUE(settings::openSettingsFile(Examples / "outgoing-only.txt", record).ok());
    record.to = Recipient;
    return record;
}

struct ExpectedMessage
{
    std::vector<std::uint8_t> header;
    std::vector<std::uint8_t> data;
};

// What the link must hand over for `record`'s push with concatenation `reference`.
std::vector<ExpectedMessage> expectedMessages(const settings::EmailSettings& record,
                                              std::uint8_t reference)
{
    provisioning::TokenTables tables;
    EXPECT_TRUE(tables.load(TokenTable));
    const auto push = provisioning::encodeProvisioningPush(
        tables, *provisioning::buildDocument(record), provisioning::userPinSecurity(Pin));
    provisioning::MessageSegmenter segmenter;
    segmenter.countMessages(push.value());
    std::vector<ExpectedMessage> messages;
    for (unsigned i = 0; i < segmenter.messageCount(); ++i)
        messages.push_back(
            {segmenter.buildHeader(reference, static_cast<std::uint8_t>(i + 1)).bytes,
             segmenter.cutSegment(*push, i).value()});
    return messages;
}

// A modem, the gammu back end on it registered as the phone service, and a link.
class GammuPhoneOnFakeModem : public ::testing::Test
{
protected:
    void SetUp() override { start(testTimeouts()); }
    void TearDown() override
    {
        link.reset();
        phone::revokePhoneService();
    }

    void start(const phone::GammuTimeouts& timeouts)
    {
        device = std::make_shared<GammuPhone>(phone::GammuTarget{modem.devicePath(), {}}, timeouts);
        phone::registerPhoneService(device);
        link = std::make_unique<PhoneLink>(TokenTable);
        record = threeMessageRecord();
        link->setSettings(&record);
    }

    void expectSubmissions(std::size_t count, const std::vector<ExpectedMessage>& expected)
    {
        const auto submissions = modem.submissions();
        ASSERT_EQ(submissions.size(), count);
        for (std::size_t i = 0; i < count; ++i) {
            SCOPED_TRACE(i);
            const auto decoded = test::decodeSubmit(submissions[i].pduHex);
            ASSERT_TRUE(decoded) << submissions[i].pduHex;
            EXPECT_EQ(static_cast<std::size_t>(submissions[i].announcedLength),
                      decoded->tpduLength);
            EXPECT_EQ(decoded->destination, Recipient);
            EXPECT_EQ(decoded->dataCoding, 0xF4);
            EXPECT_EQ(decoded->protocolIdentifier, 0);
            EXPECT_TRUE(decoded->userDataHeaderIndicator);
            EXPECT_FALSE(decoded->statusReportRequested);
            EXPECT_EQ(decoded->userDataHeader, expected[i].header);
            EXPECT_EQ(decoded->userData, expected[i].data);
        }
    }

    // The phone's refusal reaches the link with the device and libgammu's
    // words for it.
    void expectRefusal(const phone::SendResult& failure, unsigned message) const
    {
        EXPECT_TRUE(failure.failed());
        EXPECT_EQ(failure.cause, "the phone refused the message");
        const std::string prefix = "the device " + modem.devicePath() + "; libgammu: ";
        EXPECT_TRUE(failure.detail.starts_with(prefix)) << failure.detail;
        EXPECT_GT(failure.detail.size(), prefix.size());
        EXPECT_EQ(failure.message, message);
        EXPECT_EQ(failure.messageCount, 3u);
    }

    FakeModem modem;
    std::shared_ptr<GammuPhone> device;
    std::unique_ptr<PhoneLink> link;
    settings::EmailSettings record;
};

} // namespace

TEST_F(GammuPhoneOnFakeModem, sendsEachMessageOfThePushAsOneSmsSubmit)
{
    const auto expected = expectedMessages(record, 1);
    ASSERT_EQ(expected.size(), 3u);
    ASSERT_EQ(link->SendSettings(Pin).status, platform::S_OK);
    expectSubmissions(3, expected);
}

TEST_F(GammuPhoneOnFakeModem, errorOnTheSecondOfThreeStopsThePushAndKeepsThePhone)
{
    modem.scriptMessage(2, FakeModem::Answer::Error);
    expectRefusal(link->SendSettings(Pin), 2);
    expectSubmissions(2, expectedMessages(record, 1));

    // The phone still answers: the next push goes out whole.
    EXPECT_EQ(link->SendSettings(Pin).status, platform::S_OK);
    EXPECT_EQ(modem.submissions().size(), 5u);
}

TEST_F(GammuPhoneOnFakeModem, messageServiceErrorIsARefusal)
{
    modem.scriptMessage(1, FakeModem::Answer::CmsError);
    expectRefusal(link->SendSettings(Pin), 1);
    EXPECT_EQ(modem.submissions().size(), 1u);
}

TEST_F(GammuPhoneOnFakeModem, modemThatStopsAnsweringIsGivenUpWithinTheBound)
{
    link.reset();
    phone::revokePhoneService();
    auto timeouts = testTimeouts();
    timeouts.message = 3s;
    timeouts.abortGrace = 2s;
    start(timeouts);
    modem.scriptMessage(2, FakeModem::Answer::Silence);

    const auto started = std::chrono::steady_clock::now();
    const phone::SendResult result = link->SendSettings(Pin);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(result.status, phone::E_PHONE_TIMEOUT);
    EXPECT_EQ(result.cause, "the phone did not answer in time");
    EXPECT_EQ(result.detail,
              "the device " + modem.devicePath() + " gave no answer within 3 seconds");
    EXPECT_EQ(modem.submissions().size(), 2u);
    EXPECT_LT(took, timeouts.connect + 2 * (timeouts.message + timeouts.abortGrace));
}

TEST_F(GammuPhoneOnFakeModem, deviceVanishingMidPushFailsAndLeavesNoPhone)
{
    modem.scriptMessage(2, FakeModem::Answer::Vanish);
    const phone::SendResult lost = link->SendSettings(Pin);
    EXPECT_EQ(lost.status, phone::E_PHONE_NOT_CONNECTED);
    EXPECT_EQ(lost.cause, "the connection to the phone was lost");
    EXPECT_EQ(modem.submissions().size(), 2u);
    // The device is gone: the phone value cannot be read any more, and the
    // failure names it with libgammu's words.
    EXPECT_EQ(device->connect().value, 0);
    const phone::SendResult gone = link->SendSettings(Pin);
    EXPECT_EQ(gone.status, platform::E_ABORT);
    EXPECT_EQ(gone.cause, "the phone could not be reached");
    EXPECT_TRUE(
        gone.detail.starts_with("the device " + modem.devicePath() + " does not exist; libgammu: "))
        << gone.detail;
}

TEST_F(GammuPhoneOnFakeModem, contactsComeFromPhoneMemoryThenSimWithTheirNames)
{
    modem.setPhonebook("ME", {{1, "+4917011111", 145, u"Ånna Łukasz"}, {3, "0301234", 129, u"Bob"}},
                       10);
    modem.setPhonebook("SM", {{2, "+4917022222", 145, u"Zoë"}}, 5);
    phone::ContactList contacts;
    const phone::ContactsResult result = link->ReadContacts(contacts);
    EXPECT_EQ(result.lastRequest.status, platform::S_FALSE);
    EXPECT_TRUE(result.complete());
    EXPECT_EQ(contacts, (phone::ContactList{{u"Ånna Łukasz", u"+4917011111"},
                                            {u"Bob", u"0301234"},
                                            {u"Zoë", u"+4917022222"}}));
}

TEST_F(GammuPhoneOnFakeModem, storeWithMoreContactsThanTheLimitIsRefusedBeforeReadingAndSaysSo)
{
    std::vector<test::FakePhonebookEntry> entries;
    for (int i = 1; i <= static_cast<int>(phone::MaxPhoneContacts) + 1; ++i)
        entries.push_back({i, "555" + std::to_string(i), 129, u"x"});
    modem.setPhonebook("ME", std::move(entries), 20000);
    modem.setPhonebook("SM", {{1, "556", 129, u"Zoë"}}, 5);
    phone::ContactList contacts;
    const phone::ContactsResult result = link->ReadContacts(contacts);
    EXPECT_EQ(result.phoneMemory.status, phone::E_TOO_MANY_CONTACTS);
    EXPECT_EQ(result.sim.status, platform::S_OK);
    EXPECT_EQ(contacts, (phone::ContactList{{u"Zoë", u"556"}}));
}

TEST_F(GammuPhoneOnFakeModem, phoneWithoutItsOwnPhonebookStillListsTheSim)
{
    modem.setPhonebook("SM", {{1, "555", 129, u"Zoë"}}, 5);
    phone::ContactList contacts;
    const phone::ContactsResult result = link->ReadContacts(contacts);
    EXPECT_EQ(result.lastRequest.status, platform::S_FALSE);
    EXPECT_TRUE(result.complete()); // a store the phone lacks is not a missing one
    EXPECT_EQ(contacts, (phone::ContactList{{u"Zoë", u"555"}}));
}

TEST(GammuPhone, silentDeviceGivesNoPhoneWithinTheConnectBound)
{
    FakeModem modem;
    modem.setSilent(true);
    phone::GammuTimeouts timeouts;
    timeouts.connect = 2s;
    timeouts.message = 2s;
    timeouts.abortGrace = 2s;
    GammuPhone device({modem.devicePath(), {}}, timeouts);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(device.connect().value, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
}

TEST(GammuPhone, missingDeviceGivesNoPhone)
{
    GammuPhone device({"/dev/mailvane-no-such-modem", {}}, testTimeouts());
    EXPECT_EQ(device.connect().value, 0);
    EXPECT_EQ(device.readContacts(phone::ContactStore::Sim).result.status,
              phone::E_PHONE_NOT_CONNECTED);
}

TEST(GammuPhone, sectionNamesAreNumbersOrGammuNumbers)
{
    EXPECT_EQ(phone::gammuSectionNumber(""), 0);
    EXPECT_EQ(phone::gammuSectionNumber("2"), 2);
    EXPECT_EQ(phone::gammuSectionNumber("gammu"), 0);
    EXPECT_EQ(phone::gammuSectionNumber("gammu3"), 3);
    EXPECT_FALSE(phone::gammuSectionNumber("usb"));
    EXPECT_FALSE(phone::gammuSectionNumber("gammu-x"));
}

TEST(GammuPhone, configurationSectionNamesTheConnection)
{
    FakeModem modem;
    test::TempDir home;
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    EXPECT_FALSE(phone::hasGammuConfiguration());
    EXPECT_EQ(phone::parsePhoneSelection("")->kind, phone::PhoneSelection::Kind::None);

    std::ofstream(home / ".gammurc") << "[gammu]\ndevice = /dev/mailvane-no-such-modem\n"
                                        "connection = at\n\n"
                                        "[gammu1]\ndevice = "
                                     << modem.devicePath() << "\nconnection = at\n";
    EXPECT_TRUE(phone::hasGammuConfiguration());
    EXPECT_EQ(phone::parsePhoneSelection("")->kind, phone::PhoneSelection::Kind::Gammu);

    GammuPhone first({{}, {}}, testTimeouts());
    EXPECT_EQ(first.connect().value, 0);
    EXPECT_TRUE(modem.commands().empty());
    GammuPhone second({{}, "gammu1"}, testTimeouts());
    EXPECT_NE(second.connect().value, 0);
    EXPECT_FALSE(modem.commands().empty());
}

// libgammu's dummy phone keeps its messages as files in a folder and gives
// every message sent the reference 255; it keeps no TP-Status, so its
// reports all read as received.
TEST(GammuPhone, statusReportsOfTheDummyPhoneAreReadOnceAndOlderOnesPassedOver)
{
    test::TempDir home;
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    const std::filesystem::path folder = home / "dummy";
    std::filesystem::create_directories(folder / "sms" / "1");
    std::ofstream(home / ".gammurc")
        << "[gammu]\ndevice = " << folder.string() << "\nmodel = dummy\nconnection = none\n";
    const auto storeReport = [&](const char* file, const char* number) {
        std::ofstream(folder / "sms" / "1" / file)
            << "[SMSBackup000]\nPDU = Status_Report\nNumber = \"" << number
            << "\"\nMessageReference = 255\nFolder = 1\n";
    };
    storeReport("1", Recipient); // from an earlier run

    GammuPhone gammu({{}, {}}, testTimeouts());
    ASSERT_NE(gammu.connect().value, 0);
    phone::StatusReportSource* reports = gammu.statusReports();
    ASSERT_NE(reports, nullptr);
    phone::OutgoingMessage message;
    message.recipient = Recipient;
    message.dataCoding = 0xF4;
    message.statusReport = true;
    message.userData = {0x01, 0x06};
    ASSERT_TRUE(gammu.send(message).succeeded());
    EXPECT_EQ(reports->takeSentReferences(), std::vector<std::uint8_t>{255});
    EXPECT_TRUE(reports->takeSentReferences().empty());

    phone::StatusReportsRead read = reports->readStatusReports();
    ASSERT_TRUE(read.result.succeeded()) << read.result.detail;
    EXPECT_TRUE(read.reports.empty());
    storeReport("2", Recipient);
    read = reports->readStatusReports();
    ASSERT_EQ(read.reports.size(), 1u);
    EXPECT_EQ(read.reports[0].recipient, Recipient);
    EXPECT_EQ(read.reports[0].reference, 255);
    EXPECT_EQ(read.reports[0].status, 0);
    EXPECT_TRUE(reports->readStatusReports().reports.empty());
}
