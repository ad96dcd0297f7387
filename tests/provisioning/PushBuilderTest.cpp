#include "PushBuilder.h"

#include "HexText.h"
#include "Sha1.h"

#include <cctype>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

using mailvane::provisioning::buildPush;
using mailvane::provisioning::computeMac;
using mailvane::provisioning::Sha1;
using mailvane::provisioning::userPinSecurity;
namespace hex = mailvane::provisioning::hex;

namespace {

std::span<const std::uint8_t> bytesOf(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string hexOf(std::string_view text)
{
    return hex::encode(bytesOf(text));
}

} // namespace

// Runs a check with the processor's SHA instructions and with the portable rounds.
class Sha1BothWays : public testing::TestWithParam<bool>
{
protected:
    void SetUp() override { Sha1::setShaInstructionsAllowed(GetParam()); }
    void TearDown() override { Sha1::setShaInstructionsAllowed(true); }
};

INSTANTIATE_TEST_SUITE_P(Sha1, Sha1BothWays, testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "instructionsWhereAvailable" : "portable");
});

TEST_P(Sha1BothWays, matchesTheFips180Vectors)
{
    if (!GetParam()) {
        EXPECT_FALSE(Sha1::usesShaInstructions());
    }
    EXPECT_EQ(Sha1::digestText(bytesOf("abc")), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(Sha1::digestText(bytesOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
    EXPECT_EQ(Sha1::digestText({}), "da39a3ee5e6b4b0d3255bfef95601890afd80709");

    const std::string million(1000000, 'a');
    EXPECT_EQ(Sha1::digestText(bytesOf(million)), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

TEST_P(Sha1BothWays, piecesOfAnySizeGiveTheSameDigest)
{
    // Lengths round the 55/56/64-byte padding boundaries, fed in uneven pieces.
    for (const std::size_t length : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 1000u}) {
        std::vector<std::uint8_t> data(length);
        for (std::size_t i = 0; i < length; ++i)
            data[i] = static_cast<std::uint8_t>(i * 7 + 3);
        Sha1 pieces;
        for (std::size_t at = 0, step = 1; at < length; at += step, step = step % 37 + 5)
            pieces.update(std::span(data).subspan(at, std::min(step, length - at)));
        EXPECT_EQ(hex::encode(pieces.finish()), Sha1::digestText(data)) << length;
    }
}

TEST_P(Sha1BothWays, matchesOpensslForEveryLengthUpToTwoBlocksAndMore)
{
    // tests/data/sha1-lengths.txt was made with openssl, not with this code.
    std::ifstream file(std::string(MAILVANE_TEST_DATA_DIR) + "/sha1-lengths.txt");
    ASSERT_TRUE(file);
    std::size_t checked = 0;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line.front() == '#')
            continue;
        std::istringstream fields(line);
        std::size_t length = 0;
        std::string digest;
        ASSERT_TRUE(fields >> length >> digest) << line;
        ASSERT_EQ(length, checked);
        std::vector<std::uint8_t> data(length);
        for (std::size_t i = 0; i < length; ++i)
            data[i] = static_cast<std::uint8_t>((7 * i + 3) % 256);
        EXPECT_EQ(Sha1::digestText(data), digest) << length;
        // In two pieces split at every 13th byte too: the block edges fall elsewhere.
        Sha1 pieces;
        const std::size_t split = length % 13;
        pieces.update(std::span(data).first(split));
        pieces.update(std::span(data).subspan(split));
        EXPECT_EQ(hex::encode(pieces.finish()), digest) << length;
        ++checked;
    }
    EXPECT_EQ(checked, 131u);
}

TEST(Mac, matchesTheRfc2202Vectors)
{
    EXPECT_EQ(computeMac(std::string(20, '\x0b'), hexOf("Hi There")),
              "b617318655057264e28bc0b6fb378c8ef146be00");
    EXPECT_EQ(computeMac("Jefe", hexOf("what do ya want for nothing?")),
              "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79");
    EXPECT_EQ(computeMac(std::string(80, '\xaa'),
                         hexOf("Test Using Larger Than Block-Size Key - Hash Key First")),
              "aa4ae5e15272d00e95705637ce8a3b55ed402112");
}

TEST(Mac, readsTheWbxmlDigitsInEitherCase)
{
    EXPECT_EQ(computeMac("1234", "030B6A00C54601"), computeMac("1234", "030b6a00c54601"));
    EXPECT_NE(computeMac("1234", "030b6a00c54601"), computeMac("1235", "030b6a00c54601"));
}

TEST(Push, carriesTheHeaderTheUpperCaseMacTextAndTheWbxml)
{
    const std::string wbxml = "030b6a00c5460101";
    const std::string push = buildPush(userPinSecurity("1234"), wbxml);
    ASSERT_EQ(push.size(), 100 + wbxml.size());
    EXPECT_EQ(push.substr(0, 18), "01062F1F2DB6918192");
    EXPECT_EQ(push.substr(98, 2), "00");
    EXPECT_EQ(push.substr(100), wbxml);

    // As openssl computes it: the WBXML's bytes, HMAC-SHA1 with the key "1234".
    const std::string mac = "f622643d674f3c2bb55b1756ab974507c699891c";
    std::string upper;
    for (const char c : mac) {
        EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')) << mac;
        upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    const std::vector<std::uint8_t> macText = hex::decode(push.substr(18, 80));
    EXPECT_EQ(std::string(macText.begin(), macText.end()), upper);
    // Digit by digit: 'a' is written 41, '9' is written 39.
    for (std::size_t i = 0; i < 40; ++i) {
        const char digit = mac[i];
        const std::string expected = digit >= 'a' ? "4" + std::string(1, char('1' + digit - 'a'))
                                                  : "3" + std::string(1, digit);
        EXPECT_EQ(push.substr(18 + 2 * i, 2), expected);
    }
}

TEST(Push, encodingStartsOnPageZeroAndFailsWithoutATable)
{
    using mailvane::provisioning::encodeProvisioningPush;
    using mailvane::provisioning::TokenTables;
    const std::string document = "<characteristic type=\"APPLICATION\">\n"
                                 "  <parm name=\"APPID\" value=\"25\"/>\n"
                                 "</characteristic>\n";
    TokenTables tables;
    tables.loadText("characteristic c6 0\ncharacteristic c6 1\nparm 87 0\nparm 87 1\n"
                    "/characteristic 01 0\n/characteristic 01 1\nvalue 06 0\n"
                    "APPLICATION 55 1\nAPPID 36 1\n");
    const auto first = encodeProvisioningPush(tables, document, userPinSecurity("0000"));
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->substr(100), "030b6a00c54601"
                                  "c6000155018736000006033235000101"
                                  "01");
    // An encoding that ends on page 1 does not carry it into the next one.
    const auto onPageOne =
        mailvane::provisioning::wbxml::encode("<characteristic type=\"APPLICATION\">\n", tables);
    ASSERT_TRUE(onPageOne.has_value());
    ASSERT_EQ(onPageOne->substr(14), "c600015501"
                                     "01");
    EXPECT_EQ(encodeProvisioningPush(tables, document, userPinSecurity("0000")), first);

    TokenTables empty;
    EXPECT_FALSE(encodeProvisioningPush(empty, document, userPinSecurity("0000")).has_value());
}
