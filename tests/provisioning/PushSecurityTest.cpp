#include "PushSecurity.h"

#include "HexText.h"
#include "PushBuilder.h"

#include <gtest/gtest.h>

using namespace mailvane::provisioning;

TEST(PushSecurity, imsiKeyIsTheSimsMobileIdentityInSemiOctets)
{
    struct Case
    {
        const char* imsi;
        const char* key; // hexadecimal; empty: not an IMSI
    };
    const Case cases[] = {
        // Odd: identity nibble 9 below the first digit, no filler.
        {"262011234567890", "2926102143658709"},
        // Even: identity nibble 1, the last digit topped up with F.
        {"21407650123456", "21417056103254f6"},
        {"123456", "113254f6"},
        {"1234567", "19325476"},
        {"12345", ""},
        {"1234567890123456", ""},
        {"12345a", ""},
        {"+123456", ""},
        {" 123456", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        const auto key = imsiKey(c.imsi);
        if (*c.key) {
            ASSERT_TRUE(key.has_value()) << c.imsi;
            EXPECT_EQ(hex::encode(std::span(reinterpret_cast<const std::uint8_t*>(key->data()),
                                            key->size())),
                      c.key)
                << c.imsi;
        } else {
            EXPECT_FALSE(key.has_value()) << c.imsi;
            EXPECT_FALSE(networkPinSecurity(c.imsi).has_value()) << c.imsi;
        }
    }
}

TEST(PushSecurity, eachMethodCarriesItsSecValueAndKeysTheMacWithItsKey)
{
    const std::string wbxml = "030b6a00c5460101";
    // The MACs as openssl computes them over the WBXML's bytes:
    //   xxd -r -p <<< 030b6a00c5460101 | openssl dgst -sha1 -mac HMAC -macopt hexkey:KEY
    // with KEY 31323334 ("1234"), 2926102143658709 (the IMSI's) and the two
    // one after the other.
    struct Case
    {
        PushSecurity security;
        const char* sec;
        const char* mac;
    };
    const Case cases[] = {
        {userPinSecurity("1234"), "81", "f622643d674f3c2bb55b1756ab974507c699891c"},
        {*networkPinSecurity("262011234567890"), "80", "dbe5fd8fd7928482bd2a2df8f736449c8e9d0393"},
        {*userNetworkPinSecurity("262011234567890", "1234"), "82",
         "51d670816499896f5bee45e1ba339ab32dcdd9df"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sec);
        const std::string push = buildPush(c.security, wbxml);
        EXPECT_EQ(push.substr(0, 14), "01062F1F2DB691");
        EXPECT_EQ(push.substr(14, 2), c.sec);
        EXPECT_EQ(push.substr(16, 2), "92");
        EXPECT_EQ(push.substr(100), wbxml);
        std::string mac;
        for (const std::uint8_t c2 : hex::decode(push.substr(18, 80)))
            mac += static_cast<char>(std::tolower(c2));
        EXPECT_EQ(mac, c.mac);
    }
}
