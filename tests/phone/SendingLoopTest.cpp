#include "SendingLoop.h"

#include "OpenSettings.h"
#include "PhoneLink.h"
#include "PhoneStatus.h"
#include "Recipients.h"
#include "RecordingService.h"

#include <gtest/gtest.h>

using namespace mailvane;

namespace {

const std::filesystem::path TokenTable = MAILVANE_TOKEN_TABLE_PATH;
const std::filesystem::path Examples = std::filesystem::path(MAILVANE_SOURCE_DIR) / "examples";

settings::EmailSettings completeRecord()
{
    settings::EmailSettings record;
    EXPECT_TRUE(settings::openSettingsFile(Examples / "outgoing-only.txt", record).ok());
    return record;
}

std::vector<std::u16string> recipientsSent(const test::Recording& recording)
{
    std::vector<std::u16string> recipients;
    for (const auto& sent : recording.sent) {
        if (recipients.empty() || recipients.back() != sent.recipient)
            recipients.push_back(sent.recipient);
    }
    return recipients;
}

} // namespace

TEST(SendingLoop, sendsEachNumberInOrderAndLeavesToAbsent)
{
    test::RecordingService service;
    phone::PhoneLink link(TokenTable);
    auto record = completeRecord();
    const auto outcome = phone::sendToRecipients(link, record, {"111", "222"}, "1234");
    EXPECT_TRUE(outcome.sent);
    EXPECT_EQ(outcome.numbersSent, 2u);
    EXPECT_EQ(outcome.lastStatus, platform::S_OK);
    EXPECT_TRUE(outcome.failedNumber.empty());
    EXPECT_EQ(recipientsSent(service.recording()), (std::vector<std::u16string>{u"111", u"222"}));
    EXPECT_FALSE(record.to);
}

TEST(SendingLoop, theSecondOfThreeFailingLeavesTheFirstSentAndTheThirdNotTried)
{
    test::RecordingScript script;
    script.sendStatus[4] = platform::E_FAIL; // first message of the second number
    test::RecordingService service(script);
    phone::PhoneLink link(TokenTable);
    auto record = completeRecord();
    const auto outcome = phone::sendToRecipients(link, record, {"111", "222", "333"}, "1234");
    EXPECT_FALSE(outcome.sent);
    EXPECT_EQ(outcome.numbersSent, 1u);
    EXPECT_EQ(outcome.lastStatus, platform::E_FAIL);
    EXPECT_EQ(outcome.failedNumber, "222");
    EXPECT_EQ(outcome.notTried, std::vector<std::string>{"333"});
    EXPECT_EQ(outcome.failure.cause, "the phone refused the message");
    EXPECT_EQ(outcome.failure.message, 1u);
    EXPECT_EQ(outcome.failure.messageCount, 3u);
    EXPECT_EQ(recipientsSent(service.recording()), (std::vector<std::u16string>{u"111", u"222"}));
    EXPECT_FALSE(record.to);
}

TEST(SendingLoop, aTextWithoutNumbersIsNotASuccess)
{
    test::RecordingService service;
    phone::PhoneLink link(TokenTable);
    auto record = completeRecord();
    service.clearCalls();
    const auto outcome =
        phone::sendToRecipients(link, record, settings::parseRecipients(" ; ;\t").numbers, "1234");
    EXPECT_FALSE(outcome.sent);
    EXPECT_EQ(outcome.numbersSent, 0u);
    EXPECT_EQ(outcome.lastStatus, platform::S_OK);
    EXPECT_TRUE(service.recording().calls.empty());
    EXPECT_FALSE(record.to);
}

TEST(SendingLoop, missingServiceIsAFailureBeforeAnyMessageNotAMissingPhone)
{
    phone::PhoneLink link(TokenTable);
    auto record = completeRecord();
    const auto outcome = phone::sendToRecipients(link, record, {"111"}, "1234");
    EXPECT_EQ(outcome.lastStatus, platform::E_FAIL);
    EXPECT_EQ(outcome.failure.cause, "the phone service is not available");
    EXPECT_EQ(outcome.failure.message, 0u);
    EXPECT_EQ(outcome.numberCount, 1u);
}
