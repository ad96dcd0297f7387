#include "PhoneLink.h"

#include "DocumentBuilder.h"
#include "MessageSegmenter.h"
#include "OpenSettings.h"
#include "PhoneStatus.h"
#include "PushBuilder.h"
#include "RecordingService.h"
#include "TempDir.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

using namespace mailvane;
namespace fs = std::filesystem;
using phone::PhoneLink;
using platform::E_ABORT;
using platform::E_FAIL;
using platform::S_OK;
using test::RecordingScript;
using test::RecordingService;

namespace {

const std::filesystem::path TokenTable = MAILVANE_TOKEN_TABLE_PATH;
const std::filesystem::path Examples = std::filesystem::path(MAILVANE_SOURCE_DIR) / "examples";
constexpr const char* Pin = "1234";

// A record whose push takes exactly three messages.
settings::EmailSettings threeMessageRecord(const std::string& to = "+4917012345")
{
    settings::EmailSettings record;
    EXPECT_TRUE(settings::openSettingsFile(Examples / "outgoing-only.txt", record).ok());
    record.to = to;
    return record;
}

std::string expectedPush(const settings::EmailSettings& record)
{
    provisioning::TokenTables tables;
    EXPECT_TRUE(tables.load(TokenTable));
    const auto document = provisioning::buildDocument(record);
    const auto push = provisioning::encodeProvisioningPush(tables, document.value_or(""),
                                                           provisioning::userPinSecurity(Pin));
    return push.value_or("");
}

std::vector<std::vector<std::uint8_t>> expectedSegments(const std::string& push)
{
    provisioning::MessageSegmenter segmenter;
    segmenter.countMessages(push);
    std::vector<std::vector<std::uint8_t>> segments;
    for (unsigned i = 0; i < segmenter.messageCount(); ++i)
        segments.push_back(segmenter.cutSegment(push, i).value());
    return segments;
}

std::size_t countOf(const std::vector<std::string>& calls, const std::string& call)
{
    return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), call));
}

std::vector<std::string> callsFrom(const std::vector<std::string>& calls, const std::string& first)
{
    const auto at = std::find(calls.begin(), calls.end(), first);
    return {at, calls.end()};
}

} // namespace

TEST(PhoneLink, withoutTheServiceCreationSucceedsAndEverySendFails)
{
    PhoneLink link(TokenTable);
    auto record = threeMessageRecord();
    link.setSettings(&record);
    EXPECT_EQ(link.SendSettings(Pin).status, E_FAIL);
    EXPECT_EQ(link.SendSettings(Pin).status, E_FAIL);
    phone::ContactList contacts{{u"kept", u"1"}};
    const phone::ContactsResult result = link.ReadContacts(contacts);
    EXPECT_EQ(result.lastRequest.status, platform::REGDB_E_CLASSNOTREG);
    EXPECT_EQ(result.phoneMemory.status, platform::REGDB_E_CLASSNOTREG);
    EXPECT_EQ(result.sim.status, platform::REGDB_E_CLASSNOTREG);
    EXPECT_EQ(contacts.size(), 1u);
}

TEST(PhoneLink, createsThePhoneServiceTwiceAndReleasesBothOnDestroy)
{
    RecordingService service;
    {
        PhoneLink link(TokenTable);
        EXPECT_EQ(service.recording().calls,
                  (std::vector<std::string>{"create PhoneService", "create PhoneService"}));
        EXPECT_EQ(service.recording().liveObjects, 2);
    }
    EXPECT_EQ(service.recording().liveObjects, 0);
}

TEST(PhoneLink, withoutSettingsFailsBeforeTouchingThePhone)
{
    RecordingService service;
    PhoneLink link(TokenTable);
    service.clearCalls();
    EXPECT_EQ(link.SendSettings(Pin).status, E_FAIL);
    EXPECT_TRUE(service.recording().calls.empty());
}

TEST(PhoneLink, phoneValueZeroAbortsBeforeAnyMessage)
{
    RecordingScript script;
    script.phoneValue = 0;
    RecordingService service(script);
    PhoneLink link(TokenTable);
    auto record = threeMessageRecord();
    link.setSettings(&record);
    service.clearCalls();
    EXPECT_EQ(link.SendSettings(Pin).status, E_ABORT);
    EXPECT_EQ(service.recording().calls,
              (std::vector<std::string>{"phone.openPhone(0, 1)", "session.getPhoneValue"}));
}

TEST(PhoneLink, unreachablePhoneAbortsWithoutAskingTheSession)
{
    RecordingScript script;
    script.openPhoneStatus = E_FAIL;
    script.openPhoneAccount = "the device /dev/ttyX does not exist";
    RecordingService service(script);
    PhoneLink link(TokenTable);
    auto record = threeMessageRecord();
    link.setSettings(&record);
    service.clearCalls();
    const phone::SendResult failure = link.SendSettings(Pin);
    EXPECT_EQ(failure.status, E_ABORT);
    EXPECT_EQ(failure.cause, "the phone could not be reached");
    EXPECT_EQ(failure.detail, "the device /dev/ttyX does not exist");
    EXPECT_EQ(service.recording().calls, (std::vector<std::string>{"phone.openPhone(0, 1)"}));
    EXPECT_EQ(service.recording().liveObjects, 2); // the session went again
}

TEST(PhoneLink, aSessionlessAnswerKeepsTheLastPhoneValue)
{
    RecordingService service;
    PhoneLink link(TokenTable);
    auto record = threeMessageRecord();
    link.setSettings(&record);
    ASSERT_EQ(link.SendSettings(Pin).status, S_OK);

    // S_OK without a session object: the value read before stays in force.
    service.script().openPhoneGivesSession = false;
    service.script().phoneValue = 0x7777;
    const std::size_t sentBefore = service.recording().sent.size();
    EXPECT_EQ(link.SendSettings(Pin).status, S_OK);
    ASSERT_GT(service.recording().sent.size(), sentBefore);
    EXPECT_EQ(service.recording().sent.back().phoneValue, 0x5150u);
}

TEST(PhoneLink, threeMessagesShareOneMessageObjectAndReference)
{
    RecordingService service;
    PhoneLink link(TokenTable);
    auto record = threeMessageRecord("+4917012345");
    const std::string push = expectedPush(record);
    const auto segments = expectedSegments(push);
    ASSERT_EQ(segments.size(), 3u);
    link.setSettings(&record);
    service.clearCalls();

    ASSERT_EQ(link.SendSettings(Pin).status, S_OK);

    const auto& calls = service.recording().calls;
    EXPECT_EQ(countOf(calls, "create ShortMessage"), 1u);
    EXPECT_EQ(countOf(calls, "message.setFormat(2)"), 1u);
    EXPECT_EQ(countOf(calls, "sender.sendMessage(0, message 1)"), 3u);
    const std::vector<std::string> start(calls.begin(), calls.begin() + 5);
    EXPECT_EQ(start, (std::vector<std::string>{"phone.openPhone(0, 1)", "session.getPhoneValue",
                                               "create ShortMessage", "message.setFormat(2)",
                                               "message.getData"}));
    // Each message's slots in the order the link sets them, then the handover.
    const std::vector<std::string> firstMessage(calls.begin() + 5, calls.begin() + 13);
    EXPECT_EQ(firstMessage,
              (std::vector<std::string>{"data.setUserData(128 bytes)", "data.setStatusReport(0)",
                                        "data.setDataCoding(244)", "data.setPhoneValue(20816)",
                                        "data.setRecipient(+4917012345)",
                                        "data.setConcatenationReference(1)",
                                        "data.setUserDataHeader(0b05040b840b840003010301)",
                                        "sender.sendMessage(0, message 1)"}));

    const auto& sent = service.recording().sent;
    ASSERT_EQ(sent.size(), 3u);
    for (std::size_t i = 0; i < sent.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(sent[i].messageObject, 1);
        EXPECT_EQ(sent[i].data, segments[i]);
        EXPECT_EQ(sent[i].header,
                  (std::vector<std::uint8_t>{0x0B, 0x05, 0x04, 0x0B, 0x84, 0x0B, 0x84, 0x00, 0x03,
                                             0x01, 0x03, static_cast<std::uint8_t>(i + 1)}));
        EXPECT_EQ(sent[i].reference, 1);
        EXPECT_EQ(sent[i].dataCoding, 244);
        EXPECT_EQ(sent[i].statusReport, 0);
        EXPECT_EQ(sent[i].recipient, u"+4917012345");
        EXPECT_EQ(sent[i].phoneValue, 0x5150);
    }
    EXPECT_EQ(calls.back(), "sender.sendMessage(0, message 1)");
    EXPECT_EQ(service.recording().liveObjects, 2); // message and data object released
}

TEST(PhoneLink, refusalOfTheSecondMessageStopsBeforeTheThirdAndKeepsItsCause)
{
    constexpr auto Refused = static_cast<platform::HRESULT>(0x80040999);
    struct Case
    {
        std::optional<std::string> serviceSays;
        std::string detail;
    };
    const Case cases[] = {
        {"no network\tcoverage", "no network coverage"},
        {std::nullopt, ""},
    };
    for (const Case& c : cases) {
        RecordingScript script;
        script.sendStatus[2] = Refused;
        if (c.serviceSays)
            script.sendAccount[2] = *c.serviceSays;
        RecordingService service(script);
        PhoneLink link(TokenTable);
        auto record = threeMessageRecord();
        link.setSettings(&record);
        service.clearCalls();

        const phone::SendResult failure = link.SendSettings(Pin);
        const auto& calls = service.recording().calls;
        EXPECT_EQ(service.recording().sent.size(), 2u);
        EXPECT_EQ(countOf(calls, "data.setUserData(128 bytes)"), 2u);
        EXPECT_EQ(calls.back(), "sender.sendMessage(0, message 1)");
        EXPECT_EQ(service.recording().liveObjects, 2);
        EXPECT_EQ(failure.status, Refused);
        EXPECT_EQ(failure.detail, c.detail);
        EXPECT_EQ(failure.message, 2u);
        EXPECT_EQ(failure.messageCount, 3u);
    }
}

TEST(PhoneLink, aSuccessCodeOtherThanZeroFromTheLastSendIsReturned)
{
    RecordingScript script;
    script.sendStatus[3] = platform::S_FALSE;
    RecordingService service(script);
    PhoneLink link(TokenTable);
    auto record = threeMessageRecord();
    link.setSettings(&record);
    EXPECT_EQ(link.SendSettings(Pin).status, platform::S_FALSE);
}

TEST(PhoneLink, missingMessageClassReturnsTheCreationStatusAndKeepsTheReference)
{
    RecordingScript script;
    script.registerMessage = false;
    RecordingService service(script);
    PhoneLink link(TokenTable);
    auto record = threeMessageRecord();
    link.setSettings(&record);
    EXPECT_EQ(link.SendSettings(Pin).status, platform::REGDB_E_CLASSNOTREG);

    // The failed push took no reference: once the class is there, the next
    // push of the same link still carries 1.
    RecordingService withMessages;
    ASSERT_EQ(link.SendSettings(Pin).status, S_OK);
    ASSERT_FALSE(service.recording().sent.empty());
    EXPECT_EQ(service.recording().sent.front().reference, 1);
}

TEST(PhoneLink, eachPushTakesTheNextReferenceAndEachRecipientItsOwnMessageObject)
{
    RecordingService service;
    PhoneLink link(TokenTable);
    auto record = threeMessageRecord("111");
    link.setSettings(&record);
    ASSERT_EQ(link.SendSettings(Pin).status, S_OK);
    record.to = "222";
    ASSERT_EQ(link.SendSettings(Pin).status, S_OK);
    const auto& sent = service.recording().sent;
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(sent[2].reference, 1);
    EXPECT_EQ(sent[3].reference, 2);
    EXPECT_EQ(sent[3].header[9], 2);
    EXPECT_EQ(sent[3].recipient, u"222");
    EXPECT_EQ(sent[3].messageObject, 2);
}

TEST(PhoneLink, aTokenTableThatCannotServeFailsBeforeAnyMessageAndIsNamed)
{
    test::TempDir dir;
    std::ofstream(dir / "empty.dat").flush();
    const std::pair<fs::path, std::string> cases[] = {
        {dir / "no-such-table.dat",
         "the token table " + (dir / "no-such-table.dat").string() + " does not exist"},
        {dir.path(), "the token table " + dir.path().string() + " cannot be read"},
        {dir / "empty.dat", "the token table " + (dir / "empty.dat").string() + " holds no tokens"},
    };
    for (const auto& [path, cause] : cases) {
        RecordingService service;
        PhoneLink link(path);
        auto record = threeMessageRecord();
        link.setSettings(&record);
        service.clearCalls();
        const phone::SendResult failure = link.SendSettings(Pin);
        EXPECT_EQ(failure.status, E_FAIL) << path;
        EXPECT_EQ(failure.cause, cause);
        EXPECT_EQ(service.recording().calls,
                  (std::vector<std::string>{"phone.openPhone(0, 1)", "session.getPhoneValue"}));
    }
}

TEST(PhoneLink, contactsWalkThePhoneMemoryThenTheSim)
{
    RecordingScript script;
    script.stores[{2, 5}] = {2,
                             {{{1, u"Ånna"}, {7, u"111"}, {3, u"not a number"}, {9, u"999"}},
                              {{8, u"no name"}, {18, u"222"}}}};
    script.stores[{1, 6}] = {1, {{{18, u"work"}, {1, u"Zoë"}, {1, u"second name"}, {8, u"333"}}}};
    RecordingService service(script);
    PhoneLink link(TokenTable);
    service.clearCalls();

    phone::ContactList contacts;
    EXPECT_EQ(link.ReadContacts(contacts).lastRequest.status, platform::S_FALSE);
    EXPECT_EQ(contacts,
              (phone::ContactList{
                  {u"Ånna", u"111"}, {u"Ånna", u"999"}, {u"Zoë", u"work"}, {u"Zoë", u"333"}}));
    const auto& calls = service.recording().calls;
    const auto firstPass = std::find(calls.begin(), calls.end(), "contacts.getEntryCount(2, 5)");
    const auto secondPass = std::find(calls.begin(), calls.end(), "contacts.getEntryCount(1, 6)");
    ASSERT_NE(firstPass, calls.end());
    ASSERT_NE(secondPass, calls.end());
    EXPECT_LT(firstPass, secondPass);
    EXPECT_EQ(*(firstPass + 1), "contacts.getEntry(1, 0, 2, 5, 0, 0)");
    EXPECT_EQ(countOf(calls, "contacts.getEntry(3, 0, 2, 5, 0, 0)"), 1u);
    EXPECT_EQ(countOf(calls, "contacts.getEntry(3, 0, 2, 5, 1, 0)"), 1u);
    // The name is read once, from the first field of kind 1.
    const auto secondEntry = callsFrom(calls, "contacts.getEntry(1, 0, 1, 6, 0, 0)");
    EXPECT_EQ(std::vector<std::string>(secondEntry.begin() + 1, secondEntry.begin() + 8),
              (std::vector<std::string>{"entry.getFieldCount", "entry.selectField(1)",
                                        "entry.getFieldKind", "entry.selectField(2)",
                                        "entry.getFieldKind", "entry.getFieldValue",
                                        "entry.selectField(1)"}));
    EXPECT_EQ(service.recording().liveObjects, 2);
}

TEST(PhoneLink, contactsStopAfterTheReportedNumberOfEntries)
{
    RecordingScript script;
    script.stores[{2, 5}] = {1, {{{1, u"A"}, {7, u"1"}}, {{1, u"B"}, {7, u"2"}}}};
    RecordingService service(script);
    PhoneLink link(TokenTable);
    phone::ContactList contacts;
    link.ReadContacts(contacts);
    EXPECT_EQ(contacts, (phone::ContactList{{u"A", u"1"}}));
}

// Each pass keeps why it could not list its store, so that a short list can
// be told from a whole one; the other pass is read all the same.
TEST(PhoneLink, contactsKeepWhyEachPassFellShort)
{
    const test::ScriptedStore memory{2, {{{1, u"A"}, {7, u"1"}}, {{1, u"B"}, {7, u"2"}}}};
    const test::ScriptedStore sim{1, {{{1, u"S"}, {8, u"3"}}}};
    const auto failing = [](test::ScriptedStore store, phone::HRESULT why, std::size_t from) {
        store.failure = why;
        store.failingFrom = from;
        return store;
    };
    struct Case
    {
        const char* name;
        test::ScriptedStore memory;
        test::ScriptedStore sim;
        phone::HRESULT memoryStatus;
        phone::HRESULT simStatus;
        bool complete;
        phone::ContactList listed;
    };
    const Case cases[] = {
        {"whole", memory, sim, S_OK, S_OK, true, {{u"A", u"1"}, {u"B", u"2"}, {u"S", u"3"}}},
        {"memory past the limit",
         failing(memory, phone::E_TOO_MANY_CONTACTS, 0),
         sim,
         phone::E_TOO_MANY_CONTACTS,
         S_OK,
         false,
         {{u"S", u"3"}}},
        {"memory stops after one entry",
         failing(memory, phone::E_PHONE_TIMEOUT, 1),
         sim,
         phone::E_PHONE_TIMEOUT,
         S_OK,
         false,
         {{u"A", u"1"}, {u"S", u"3"}}},
        {"sim unreadable",
         memory,
         failing(sim, E_FAIL, 0),
         S_OK,
         E_FAIL,
         false,
         {{u"A", u"1"}, {u"B", u"2"}}},
    };
    for (const Case& c : cases) {
        RecordingScript script;
        script.stores[{2, 5}] = c.memory;
        script.stores[{1, 6}] = c.sim;
        RecordingService service(script);
        PhoneLink link(TokenTable);
        phone::ContactList contacts;
        const phone::ContactsResult result = link.ReadContacts(contacts);
        EXPECT_EQ(result.phoneMemory.status, c.memoryStatus) << c.name;
        EXPECT_EQ(result.sim.status, c.simStatus) << c.name;
        EXPECT_EQ(result.complete(), c.complete) << c.name;
        EXPECT_EQ(contacts, c.listed) << c.name;
    }
}
