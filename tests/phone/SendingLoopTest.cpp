#include "SendingLoop.h"

#include "OpenSettings.h"
#include "PhoneLink.h"
#include "PhoneStatus.h"
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

const std::string SendingError =
    "An error occurred while sending the e-mail settings to the target phone(s).";

} // namespace

TEST(SendingLoop, sendsEachNumberInOrderAndLeavesToAbsent)
{
    test::RecordingService service;
    phone::PhoneLink link(TokenTable);
    auto record = completeRecord();
    const auto outcome = phone::sendToRecipients(link, record, {"111", "222"}, "1234");
    EXPECT_TRUE(outcome.sent);
    EXPECT_EQ(outcome.numbersSent, 2u);
    const phone::OutcomeReport report = phone::reportOutcome(outcome);
    EXPECT_EQ(report.caption, strings::SendingSuccessfulCaption);
    EXPECT_EQ(report.text, "The e-mail settings were successfully sent to the target phone(s).");
    EXPECT_FALSE(report.warning);
    EXPECT_EQ(phone::outcomeLine(outcome), "");
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
    const phone::OutcomeReport report = phone::reportOutcome(outcome);
    EXPECT_EQ(report.caption, strings::SendingFailedCaption);
    EXPECT_EQ(report.text, SendingError +
                               "\n\nSending to 222 failed at message 1 of 3: the phone refused "
                               "the message.\nNumbers sent before it: 1 of 3.\nNot tried: 333.");
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
    EXPECT_EQ(phone::reportOutcome(outcome).caption, strings::RecipientsMissingCaption);
    EXPECT_EQ(phone::reportOutcome(outcome).text, "No recipients are selected.");
    EXPECT_TRUE(service.recording().calls.empty());
    EXPECT_FALSE(record.to);
}

TEST(SendingLoop, missingServiceIsASendingErrorNotAMissingPhone)
{
    phone::PhoneLink link(TokenTable);
    auto record = completeRecord();
    const auto outcome = phone::sendToRecipients(link, record, {"111"}, "1234");
    EXPECT_EQ(outcome.lastStatus, platform::E_FAIL);
    EXPECT_EQ(phone::reportOutcome(outcome).text,
              SendingError + "\n\nSending to 111 failed: the phone service is not available."
                             "\nNumbers sent before it: 0 of 1.");
}

TEST(OutcomeReport, onlyAPhoneOrGatewayNeverReachedIsNotConnectedAndTheRestNameTheCause)
{
    using phone::SendingOutcome;
    const auto failure = [](platform::HRESULT status, std::string cause, std::string detail,
                            unsigned message, unsigned count) {
        phone::SendResult result;
        result.status = status;
        result.cause = std::move(cause);
        result.detail = std::move(detail);
        result.message = message;
        result.messageCount = count;
        return result;
    };
    const auto unreachable = failure(platform::E_ABORT, "the phone could not be reached", "", 0, 0);
    const auto gatewayDown =
        failure(phone::E_GATEWAY_UNREACHABLE, "the gateway could not be reached",
                "http://gw/cgi-bin/sendsms: Connection refused", 1, 6);
    const auto gatewaySilent =
        failure(phone::E_GATEWAY_TIMEOUT,
                "the gateway did not answer in time, so the message may have gone out",
                "http://gw/cgi-bin/sendsms: no answer within 20 seconds", 1, 6);
    const auto oddSuccess =
        failure(platform::S_FALSE, "the phone service answered with the unknown status 0x00000001",
                "", 6, 6);
    std::vector<std::string> many;
    for (int n = 3; n <= 16; ++n)
        many.push_back(std::to_string(n));
    struct Case
    {
        SendingOutcome outcome;
        std::string text;
    };
    const Case cases[] = {
        {{false, platform::E_ABORT, 0, 2, "111", unreachable, {"222"}}, "Phone isn't connected."},
        {{false, phone::E_GATEWAY_UNREACHABLE, 0, 1, "111", gatewayDown, {}},
         "The SMS gateway cannot be reached.\n\nSending to 111 failed at message 1 of 6: the "
         "gateway could "
         "not be reached\n(http://gw/cgi-bin/sendsms: Connection refused)."},
        // Reached once: the first number has the settings, which must be said.
        {{false, platform::E_ABORT, 1, 2, "222", unreachable, {}},
         SendingError + "\n\nSending to 222 failed: the phone could not be reached.\nNumbers "
                        "sent before it: 1 of 2."},
        {{false, phone::E_GATEWAY_TIMEOUT, 0, 1, "111", gatewaySilent, {}},
         // Long lines are broken at blanks: the box is as wide as its longest.
         SendingError + "\n\nSending to 111 failed at message 1 of 6: the gateway did not "
                        "answer in time, so\nthe message may have gone out "
                        "(http://gw/cgi-bin/sendsms: no answer within 20\nseconds).\nNumbers sent "
                        "before it: 0 of 1."},
        {{false, platform::S_FALSE, 1, 16, "2", oddSuccess, many},
         SendingError + "\n\nSending to 2 failed at message 6 of 6: the phone service answered "
                        "with the\nunknown status 0x00000001.\nNumbers sent before it: 1 of 16."
                        "\nNot tried: 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 and 4 more."},
    };
    for (const Case& c : cases) {
        const phone::OutcomeReport report = phone::reportOutcome(c.outcome);
        EXPECT_EQ(report.caption, strings::SendingFailedCaption);
        EXPECT_TRUE(report.warning);
        EXPECT_EQ(report.text, c.text);
    }
    // The terminal line names every number and the code.
    EXPECT_EQ(phone::outcomeLine(cases[4].outcome),
              SendingError + " Sending to 2 failed at message 6 of 6: the phone service answered "
                             "with the unknown status 0x00000001. Numbers sent before it: 1 of 16. "
                             "Not tried: 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16. (status "
                             "0x00000001)");
}
