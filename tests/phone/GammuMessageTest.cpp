#include "GammuMessage.h"

#include "GammuText.h"

#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

using namespace mailvane;
using phone::OutgoingMessage;

namespace {

OutgoingMessage pushPart()
{
    OutgoingMessage message;
    message.recipient = "+4917012345";
    message.dataCoding = 0xF4;
    message.userDataHeader = {0x0B, 0x05, 0x04, 0x0B, 0x84, 0x23,
                              0xF0, 0x00, 0x03, 0x01, 0x02, 0x01};
    message.userData = {0x01, 0x06, 0x2F, 0x1F, 0x2D};
    return message;
}

} // namespace

TEST(GammuMessage, eightBitPartIsCopiedAsItIsForTheOwnServiceCentre)
{
    const OutgoingMessage message = pushPart();
    const auto sms = phone::toGammuMessage(message);
    ASSERT_TRUE(sms);
    EXPECT_EQ(sms->Coding, SMS_Coding_8bit);
    EXPECT_EQ(sms->PDU, SMS_Submit);
    EXPECT_EQ(sms->SMSC.Location, 1);
    EXPECT_EQ(sms->UDH.Type, UDH_UserUDH);
    EXPECT_EQ(std::vector<std::uint8_t>(sms->UDH.Text, sms->UDH.Text + sms->UDH.Length),
              message.userDataHeader);
    EXPECT_EQ(std::vector<std::uint8_t>(sms->Text, sms->Text + sms->Length), message.userData);
    EXPECT_EQ(phone::fromGammuText(sms->Number, sizeof sms->Number), u"+4917012345");

    OutgoingMessage plain = message;
    plain.userDataHeader.clear();
    plain.statusReport = true;
    const auto plainSms = phone::toGammuMessage(plain);
    ASSERT_TRUE(plainSms);
    EXPECT_EQ(plainSms->UDH.Type, UDH_NoUDH);
    EXPECT_EQ(plainSms->UDH.Length, 0);
    EXPECT_EQ(plainSms->PDU, SMS_Status_Report);
}

// The class sits in the low bits of an 0xF? coding; 0x04 is 8-bit data
// without a class. Any other coding is not 8-bit data and is refused.
TEST(GammuMessage, codingGivesTheClassOrRefusesTheMessage)
{
    const std::pair<std::uint8_t, std::optional<int>> cases[] = {
        {0xF4, 0},
        {0xF5, 1},
        {0xF7, 3},
        {0x04, -1},
        {0x00, std::nullopt},
        {0xF0, std::nullopt},
        {0x08, std::nullopt},
        {0xF8, std::nullopt},
    };
    for (const auto& [coding, messageClass] : cases) {
        SCOPED_TRACE(coding);
        OutgoingMessage message = pushPart();
        message.dataCoding = coding;
        const auto sms = phone::toGammuMessage(message);
        ASSERT_EQ(sms != nullptr, messageClass.has_value());
        if (sms) {
            EXPECT_EQ(sms->Class, *messageClass);
        }
    }
}

TEST(GammuMessage, partBeyondLibgammusLimitsOrWithoutADialableNumberIsRefused)
{
    struct Case
    {
        const char* what;
        std::size_t headerSize;
        std::size_t dataSize;
        const char* recipient;
        bool converted;
    };
    const Case cases[] = {
        {"largest header and data", GSM_MAX_UDH_LENGTH, GSM_MAX_SMS_LENGTH, "0170", true},
        {"header too long", GSM_MAX_UDH_LENGTH + 1, 5, "0170", false},
        {"data too long", 12, GSM_MAX_SMS_LENGTH + 1, "0170", false},
        {"no recipient", 12, 5, "", false},
        {"recipient with a letter", 12, 5, "0170a", false},
        {"plus inside the number", 12, 5, "01+70", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OutgoingMessage message = pushPart();
        message.userDataHeader.assign(c.headerSize, 0x00);
        message.userData.assign(c.dataSize, 0xAB);
        message.recipient = c.recipient;
        EXPECT_EQ(phone::toGammuMessage(message) != nullptr, c.converted);
    }
}

TEST(GammuStatusReport, isMatchedByReferenceAndNumberToItsPushAndMessage)
{
    // Push 0 went to +4917011111 as references 7 and 8, push 1 to 0170 22222
    // as 9, and after the references came round, push 2 to +4917011111 as 7.
    phone::PhoneReportMatcher matcher;
    matcher.sent(0, "+4917011111", {7, 8});
    matcher.sent(1, "0170 22222", {9});
    matcher.sent(2, "+4917011111", {7});
    struct Case
    {
        const char* what;
        GSM_SMSMessageType pdu;
        const char* number; // as the network names the recipient
        unsigned char reference;
        unsigned char status; // TP-Status
        std::optional<std::size_t> push;
        std::size_t message;
        unsigned type;
    };
    namespace types = phone::report_types;
    const Case cases[] = {
        {"received", SMS_Status_Report, "+4917011111", 8, 0x00, 0, 1, types::Delivered},
        {"a wrapped reference is the latest message's", SMS_Status_Report, "+4917011111", 7, 0x00,
         2, 0, types::Delivered},
        {"forwarded, unconfirmed", SMS_Status_Report, "+4917011111", 8, 0x01, 0, 1,
         types::Delivered},
        {"international spelling of a national number", SMS_Status_Report, "+4917022222", 9, 0x00,
         1, 0, types::Delivered},
        {"centre still trying", SMS_Status_Report, "+4917022222", 9, 0x30, 1, 0, types::Buffered},
        {"permanent error", SMS_Status_Report, "+4917022222", 9, 0x41, 1, 0, types::NotDelivered},
        {"temporary error, centre gave up", SMS_Status_Report, "+4917022222", 9, 0x62, 1, 0,
         types::NotDelivered},
        {"another number with our reference", SMS_Status_Report, "+4917033333", 9, 0x00, {}, 0, 0},
        {"a reference we never got", SMS_Status_Report, "+4917011111", 200, 0x00, {}, 0, 0},
        {"too few digits to tell", SMS_Status_Report, "22222", 9, 0x00, {}, 0, 0},
        {"an ordinary message", SMS_Deliver, "+4917011111", 8, 0x00, {}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GSM_SMSMessage sms{};
        sms.PDU = c.pdu;
        EncodeUnicode(sms.Number, c.number, std::strlen(c.number));
        sms.MessageReference = c.reference;
        sms.DeliveryStatus = c.status;
        const std::optional<phone::PhoneStatusReport> report = phone::statusReportOf(sms);
        const std::optional<phone::DeliveryReport> matched =
            report ? matcher.match(*report) : std::nullopt;
        ASSERT_EQ(matched.has_value(), c.push.has_value());
        if (!matched)
            continue;
        EXPECT_EQ(matched->push, *c.push);
        EXPECT_EQ(matched->message, c.message);
        EXPECT_EQ(matched->type, c.type);
    }
}
