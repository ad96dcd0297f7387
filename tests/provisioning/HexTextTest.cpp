#include "HexText.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace hex = mailvane::provisioning::hex;

TEST(HexText, decodesLongTextsOfEitherCaseLikeShortOnes)
{
    std::vector<std::uint8_t> bytes(300);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
    std::string text = hex::encode(bytes);
    EXPECT_EQ(hex::decode(text), bytes);
    for (std::size_t i = 0; i < text.size(); i += 3)
        text[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    EXPECT_EQ(hex::decode(text), bytes);
    // Every tail length after whole runs of sixteen digits, and an odd last digit.
    for (std::size_t length = 0; length < 40; ++length)
        EXPECT_EQ(hex::decode(text.substr(0, length)),
                  std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + length / 2));
}

TEST(HexText, nonDigitsCountAsZeroWhereverTheyStand)
{
    for (const char bad : {'g', 'G', '/', ':', '@', '`', ' ', '\xff'}) {
        std::string text(48, 'f');
        text[21] = bad;
        std::vector<std::uint8_t> expected(24, 0xff);
        expected[10] = 0xf0;
        EXPECT_EQ(hex::decode(text), expected) << bad;
        EXPECT_EQ(hex::digitValue(bad), -1);
    }
    EXPECT_EQ(hex::digitValue('a'), 10);
    EXPECT_EQ(hex::digitValue('F'), 15);
    EXPECT_EQ(hex::digitValue('7'), 7);
}
