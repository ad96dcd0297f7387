#include "SimulatedPhone.h"

#include "PhoneStatus.h"
#include "ServiceObjects.h"
#include "SmsPduDecoder.h"
#include "TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace mailvane;
using phone::SimulatedPhone;

namespace {

void writeFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> linesOf(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

phone::OutgoingMessage message(phone::PhoneValue value, std::uint8_t sequence)
{
    phone::OutgoingMessage outgoing;
    outgoing.phoneValue = value;
    outgoing.recipient = "+4917012345";
    outgoing.dataCoding = 0xF4;
    outgoing.userDataHeader = {0x0B, 0x05, 0x04, 0x0B, 0x84, 0x0B,
                               0x84, 0x00, 0x03, 0x07, 0x03, sequence};
    outgoing.userData = {0x01, 0x06, sequence};
    outgoing.concatenationReference = 7;
    return outgoing;
}

} // namespace

TEST(SimulatedPhoneOptions, readsUnpluggedAndRefuseAndIgnoresTheRest)
{
    const auto options = phone::parseSimulatedPhoneOptions(
        "# a demo phone\n unplugged = yes \nrefuse = 3 # the third\ncolour = blue\nrefuse\n");
    EXPECT_TRUE(options.unplugged);
    EXPECT_EQ(options.refuseMessage, 3u);

    const auto fallback =
        phone::parseSimulatedPhoneOptions("unplugged = no\nrefuse = x\nrefuse = 0\n");
    EXPECT_FALSE(fallback.unplugged);
    EXPECT_FALSE(fallback.refuseMessage);

    // What each number is reported: the longest ending named, else `reports`.
    const auto reports = phone::parseSimulatedPhoneOptions(
        "reports = none\nreports for 1 = not delivered\nreports for 21 = delivered\n"
        "reports for 3 = maybe\nreports for x4 = delivered\n");
    using phone::SimulatedReport;
    EXPECT_EQ(reports.reportFor("+4916011"), SimulatedReport::NotDelivered);
    EXPECT_EQ(reports.reportFor("+4916021"), SimulatedReport::Delivered);
    EXPECT_EQ(reports.reportFor("+4916003"), SimulatedReport::None);
    EXPECT_EQ(reports.reportFor("+49160x4"), SimulatedReport::None);
    EXPECT_EQ(fallback.reportFor("+4916003"), SimulatedReport::Delivered);
}

TEST(SimulatedPhoneOptions, everyWordForOnAndOffUnplugs)
{
    const std::pair<const char*, bool> cases[] = {
        {"yes", true}, {"true", true}, {"1", true}, {"no", false}, {"false", false}, {"0", false},
    };
    for (const auto& [word, unplugged] : cases) {
        SCOPED_TRACE(word);
        const std::string text = std::string("unplugged = ") + word + "\n";
        EXPECT_EQ(phone::parseSimulatedPhoneOptions(text).unplugged, unplugged);

        test::TempDir folder;
        writeFile(folder / "phone.conf", text);
        SimulatedPhone phone(folder.path());
        EXPECT_EQ(phone.connect().value == 0, unplugged);
        EXPECT_EQ(phone.readContacts(phone::ContactStore::PhoneMemory).result.status,
                  unplugged ? phone::E_PHONE_NOT_CONNECTED : platform::S_OK);
    }
}

TEST(SimulatedPhoneContacts, readsUpToTheLimitAndRefusesMore)
{
    std::string text;
    for (std::size_t i = 0; i < phone::MaxPhoneContacts; ++i)
        text += "Name " + std::to_string(i) + ";+49" + std::to_string(i) + "\n";
    const auto atLimit = phone::parseSimulatedContacts(text + "# comments do not count\n\n");
    ASSERT_TRUE(atLimit);
    EXPECT_EQ(atLimit->size(), phone::MaxPhoneContacts);
    EXPECT_EQ(atLimit->back().fields.at(0).value, u"Name 9999");
    EXPECT_FALSE(phone::parseSimulatedContacts(text + "One More;+1\n"));
}

TEST(SimulatedPhoneContacts, fileLargerThanTheLimitCannotBeRead)
{
    test::TempDir folder;
    std::string text = "Anna;+491701\n";
    text.resize(phone::MaxSimulatedPhoneFileBytes - 1, '#');
    text += '\n';
    writeFile(folder / "contacts.txt", text);
    SimulatedPhone phone(folder.path());
    const auto atLimit = phone.readContacts(phone::ContactStore::PhoneMemory);
    ASSERT_EQ(atLimit.result.status, platform::S_OK);
    EXPECT_EQ(atLimit.contacts.size(), 1u);

    writeFile(folder / "contacts.txt", text + "\n");
    EXPECT_EQ(phone.readContacts(phone::ContactStore::PhoneMemory).result.status, platform::E_FAIL);

    // A phone.conf that large is not read either: the phone stays out of reach.
    EXPECT_NE(phone.connect().value, 0);
    writeFile(folder / "phone.conf", std::string(phone::MaxSimulatedPhoneFileBytes + 1, '#'));
    EXPECT_EQ(phone.connect().value, 0);
}

TEST(SimulatedPhoneContacts, eachLineIsANameAndItsNumbers)
{
    const auto parsed = phone::parseSimulatedContacts(
        "Ånna Müller;+491701;0301\r\n\n# skipped\n;0800 only number\nNo Number\n");
    ASSERT_TRUE(parsed);
    const auto& contacts = *parsed;
    ASSERT_EQ(contacts.size(), 3u);
    ASSERT_EQ(contacts[0].fields.size(), 3u);
    EXPECT_EQ(contacts[0].fields[0].kind, phone::values::FieldKindName);
    EXPECT_EQ(contacts[0].fields[0].value, u"Ånna Müller");
    EXPECT_EQ(contacts[0].fields[1].kind, phone::values::FieldKindMobileNumber);
    EXPECT_EQ(contacts[0].fields[1].value, u"+491701");
    EXPECT_EQ(contacts[0].fields[2].value, u"0301");
    ASSERT_EQ(contacts[1].fields.size(), 1u); // no name field at all
    EXPECT_EQ(contacts[1].fields[0].kind, phone::values::FieldKindMobileNumber);
    ASSERT_EQ(contacts[2].fields.size(), 1u);
    EXPECT_EQ(contacts[2].fields[0].kind, phone::values::FieldKindName);
}

TEST(SimulatedPhone, writesEachMessageAsAPduAndAReadableLine)
{
    test::TempDir folder;
    SimulatedPhone phone(folder.path());
    const phone::PhoneValue value = phone.connect().value;
    ASSERT_NE(value, 0);
    ASSERT_EQ(phone.send(message(value, 1)).status, platform::S_OK);
    ASSERT_EQ(phone.send(message(value, 2)).status, platform::S_OK);

    const auto lines = linesOf(folder / "outbox.txt");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "# to +4917012345, reference 7, part 1 of 3");
    EXPECT_EQ(lines[3], "# to +4917012345, reference 7, part 2 of 3");
    ASSERT_TRUE(lines[2].starts_with("PDU "));
    const auto decoded = test::decodeSubmit(lines[2].substr(4));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->destination, "+4917012345");
    EXPECT_EQ(decoded->dataCoding, 0xF4);
    EXPECT_EQ(decoded->userDataHeader, message(value, 2).userDataHeader);
    EXPECT_EQ(decoded->userData, message(value, 2).userData);
    EXPECT_FALSE(decoded->statusReportRequested);
}

TEST(SimulatedPhone, refusesTheConfiguredMessageCountedOverItsLife)
{
    test::TempDir folder;
    writeFile(folder / "phone.conf", "refuse = 3\n");
    SimulatedPhone phone(folder.path());
    const phone::PhoneValue value = phone.connect().value;
    EXPECT_EQ(phone.send(message(value, 1)).status, platform::S_OK);
    EXPECT_EQ(phone.send(message(value, 2)).status, platform::S_OK);
    EXPECT_EQ(phone.connect().value, value + 1); // a new send, the count goes on
    EXPECT_EQ(phone.send(message(value + 1, 1)).status, phone::E_SIMULATED_REFUSAL);
    EXPECT_EQ(phone.send(message(value + 1, 2)).status, platform::S_OK);
    EXPECT_EQ(linesOf(folder / "outbox.txt").size(), 6u);
}

TEST(SimulatedPhone, unpluggedPhoneHasNoValueAndTakesNothing)
{
    test::TempDir folder;
    SimulatedPhone phone(folder.path());
    const phone::PhoneValue value = phone.connect().value;
    writeFile(folder / "phone.conf", "unplugged = yes\n");
    EXPECT_EQ(phone.connect().value, 0);
    EXPECT_TRUE(phone.send(message(value, 1)).failed());
    EXPECT_EQ(phone.readContacts(phone::ContactStore::PhoneMemory).result.status,
              phone::E_PHONE_NOT_CONNECTED);
    EXPECT_FALSE(std::filesystem::exists(folder / "outbox.txt"));
}

TEST(SimulatedPhone, missingFolderIsAnUnpluggedPhone)
{
    SimulatedPhone phone("/nonexistent/mailvane-phone");
    EXPECT_EQ(phone.connect().value, 0);
}

TEST(SimulatedPhone, undialableRecipientIsRefused)
{
    test::TempDir folder;
    SimulatedPhone phone(folder.path());
    auto outgoing = message(phone.connect().value, 1);
    for (const char* recipient : {"", "+", "040-123", "12a", "123456789012345678901"}) {
        SCOPED_TRACE(recipient);
        outgoing.recipient = recipient;
        EXPECT_TRUE(phone.send(outgoing).failed());
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "outbox.txt"));
}

TEST(PhoneServiceObjects, messageWithAStalePhoneValueIsRefused)
{
    // The service checks that a message carries the value its session gave out.
    test::TempDir folder;
    phone::registerPhoneService(std::make_shared<SimulatedPhone>(folder.path()));
    platform::ComPtr<phone::IPhoneAccess> access;
    platform::ComPtr<phone::IMessageSender> sender;
    platform::ComPtr<phone::IShortMessage> shortMessage;
    ASSERT_EQ(platform::CoCreateInstance(phone::CLSID_PhoneService, nullptr,
                                         platform::CLSCTX_INPROC_SERVER, access.put()),
              platform::S_OK);
    ASSERT_EQ(platform::CoCreateInstance(phone::CLSID_PhoneService, nullptr,
                                         platform::CLSCTX_INPROC_SERVER, sender.put()),
              platform::S_OK);
    ASSERT_EQ(platform::CoCreateInstance(phone::CLSID_ShortMessage, nullptr,
                                         platform::CLSCTX_INPROC_SERVER, shortMessage.put()),
              platform::S_OK);
    platform::ComPtr<phone::IPhoneSession> session;
    ASSERT_EQ(access->openPhone(0, 1, session.put()).status, platform::S_OK);
    phone::PhoneValue value = 0;
    session->getPhoneValue(&value);

    shortMessage->setFormat(2);
    platform::ComPtr<phone::IMessageData> data;
    shortMessage->getData(data.put());
    const auto outgoing = message(value, 1);
    data->setRecipient(platform::bstrFromLatin1(outgoing.recipient));
    data->setDataCoding(244);
    data->setUserDataHeader(platform::makeByteArrayVariant(outgoing.userDataHeader));
    data->setUserData(platform::makeByteArrayVariant(outgoing.userData));
    data->setPhoneValue(value + 1);
    EXPECT_EQ(sender->sendMessage(0, shortMessage.get()).status, phone::E_STALE_PHONE_VALUE);
    data->setPhoneValue(value);
    EXPECT_EQ(sender->sendMessage(0, shortMessage.get()).status, platform::S_OK);
    phone::revokePhoneService();
}
