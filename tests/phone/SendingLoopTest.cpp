#include "SendingLoop.h"

#include "OpenSettings.h"
#include "PhoneLink.h"
#include "Recipients.h"
#include "RecordingService.h"
#include "StringTable.h"

#include <gtest/gtest.h>

using namespace mailvane;
using settings::stringText;
namespace strings = settings::strings;

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
    EXPECT_EQ(phone::outcomeText(outcome), stringText(strings::SettingsSentMessage));
    EXPECT_EQ(recipientsSent(service.recording()), (std::vector<std::u16string>{u"111", u"222"}));
    EXPECT_FALSE(record.to);
}

TEST(SendingLoop, stopsAtTheFirstFailedNumberAndNamesTheCause)
{
    test::RecordingScript script;
    script.sendStatus[4] = platform::E_FAIL; // first message of the second number
    test::RecordingService service(script);
    phone::PhoneLink link(TokenTable);
    auto record = completeRecord();
    const auto outcome = phone::sendToRecipients(link, record, {"111", "222", "333"}, "1234");
    EXPECT_FALSE(outcome.sent);
    EXPECT_EQ(outcome.numbersSent, 1u);
    EXPECT_EQ(outcome.lastStatus, platform::E_ABORT); // a refused message
    EXPECT_EQ(phone::outcomeText(outcome), stringText(strings::PhoneNotConnectedMessage));
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
        phone::sendToRecipients(link, record, settings::splitRecipients(" ; ;\t"), "1234");
    EXPECT_FALSE(outcome.sent);
    EXPECT_EQ(outcome.numbersSent, 0u);
    EXPECT_EQ(phone::outcomeText(outcome), stringText(strings::NoRecipientsMessage));
    EXPECT_TRUE(service.recording().calls.empty());
    EXPECT_FALSE(record.to);
}

TEST(SendingLoop, missingServiceIsASendingErrorNotAMissingPhone)
{
    phone::PhoneLink link(TokenTable);
    auto record = completeRecord();
    const auto outcome = phone::sendToRecipients(link, record, {"111"}, "1234");
    EXPECT_EQ(outcome.lastStatus, platform::E_FAIL);
    EXPECT_EQ(phone::outcomeText(outcome), stringText(strings::SendingErrorMessage));
    EXPECT_EQ(phone::outcomeText({false, platform::S_FALSE, 0}),
              stringText(strings::PhoneNotConnectedMessage));
}
