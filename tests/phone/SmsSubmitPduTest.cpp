#include "SmsSubmitPdu.h"

#include "SmsPduDecoder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using mailvane::phone::encodeSmsSubmit;
using mailvane::phone::SmsSubmit;

namespace {

std::vector<std::uint8_t> bytesOfHex(std::string_view hex)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(
            static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return bytes;
}

struct PduCase
{
    const char* destination;
    bool statusReport;
    std::uint8_t reference;
    const char* header; // hex, with its length byte
    const char* data;   // hex
    const char* pdu;    // hex, worked out by hand from the SMS-SUBMIT layout
};

} // namespace

// Service centre 00, first octet, reference, address length in digits, type
// (91 international, 81 unknown), semi-octets low digit first with F filling
// the last of an odd count, '*' as A and '#' as B, PID 00, coding, length, data.
TEST(SmsSubmitPdu, encodesTheAddressAndFieldsAsLaidDown)
{
    const PduCase cases[] = {
        {"+4917012345", false, 7, "02AABB", "010203",
         "0041070A91947110325400F406"
         "02AABB010203"},
        {"12345678901234567890", true, 0xFF, "", "FF",
         "0021FF148121436587092143658709"
         "00F401FF"},
        {"12345", false, 1, "", "",
         "00010105812143F5"
         "00F400"},
        {"*#1", false, 2, "", "",
         "00010203"
         "81BAF1"
         "00F400"},
        {"+*31#", false, 3, "", "",
         "00010304"
         "913AB1"
         "00F400"},
    };
    for (const PduCase& c : cases) {
        SCOPED_TRACE(c.destination);
        const auto header = bytesOfHex(c.header);
        const auto data = bytesOfHex(c.data);
        const auto pdu = encodeSmsSubmit({.destination = c.destination,
                                          .dataCoding = 0xF4,
                                          .statusReport = c.statusReport,
                                          .messageReference = c.reference,
                                          .userDataHeader = header,
                                          .userData = data});
        ASSERT_TRUE(pdu);
        EXPECT_EQ(*pdu, bytesOfHex(c.pdu));
    }
}

TEST(SmsSubmitPdu, refusesUndialableNumbersAndDataPastOneMessage)
{
    for (const char* destination : {"", "+", "123456789012345678901", "+123456789012345678901",
                                    "12a", "040-123", "1+2", "12 34"}) {
        SCOPED_TRACE(destination);
        SmsSubmit message;
        message.destination = destination;
        EXPECT_FALSE(encodeSmsSubmit(message));
    }
    const std::vector<std::uint8_t> header = {0x01, 0x00};
    const std::vector<std::uint8_t> fills(138, 0x55);
    const std::vector<std::uint8_t> oneMore(139, 0x55);
    SmsSubmit message;
    message.destination = "1";
    message.userDataHeader = header;
    message.userData = fills;
    const auto full = encodeSmsSubmit(message);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->at(8), 140); // the user-data length
    EXPECT_EQ(full->size(), 9u + 140u);
    message.userData = oneMore;
    EXPECT_FALSE(encodeSmsSubmit(message));
}

// Found by fuzz/SmsPduFuzzer.cpp: a PDU whose first octet announces a header
// while its user data is empty made the decoder read the header's length one
// byte past the end.
TEST(SmsPduDecoder, headerAnnouncedWithoutUserDataIsRefused)
{
    std::ifstream file(std::string(MAILVANE_TEST_DATA_DIR) +
                       "/submit-header-flag-without-user-data.hex");
    std::string pdu;
    ASSERT_TRUE(std::getline(file, pdu));
    ASSERT_TRUE(pdu.ends_with("00")); // the user-data length
    EXPECT_FALSE(mailvane::test::decodeSubmit(pdu));

    // The same with one byte of user data: an empty header.
    const auto withHeader = mailvane::test::decodeSubmit(pdu.substr(0, pdu.size() - 2) + "0100");
    ASSERT_TRUE(withHeader);
    EXPECT_EQ(withHeader->userDataHeader, std::vector<std::uint8_t>{0x00});
    EXPECT_TRUE(withHeader->userData.empty());
}
