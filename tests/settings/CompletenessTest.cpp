#include "Completeness.h"

#include "SettingsFileReader.h"

#include <gtest/gtest.h>

using namespace mailvane::settings;

TEST(Completeness, resetRecordNeedsBothServers)
{
    EmailSettings record;
    record.resetToDefaults();
    EXPECT_EQ(describeMissingFields(record), "Incoming Server (required by Incoming Port); "
                                             "Outgoing Server (required by Outgoing Port)");
    record.incomingServer = "imap.example.org";
    record.outgoingServer = "smtp.example.org";
    EXPECT_TRUE(missingFields(record).empty());
    EXPECT_EQ(describeMissingFields(record), "");
}

TEST(Completeness, namesTheGroupFieldsOfTheRightDirection)
{
    EmailSettings record;
    record.outgoing.proxies = values::Yes;
    record.outgoing.secondaryProxyPort = "8080";
    record.incoming.dataBearer = values::GsmData;
    record.incoming.bearerPassword = "secret";
    EXPECT_EQ(describeMissingFields(record),
              "Out Secondary Proxy (required by Out Secondary ProxyPort); "
              "In GSM Dial-up Number (required by In Data Bearer); "
              "In Bearer Authentication Type (required by In Bearer Password)");
    EXPECT_FALSE(record.isComplete());
}

TEST(Completeness, proxyAddressNeedsABearerOnlyWhileProxiesAreOn)
{
    EmailSettings record;
    record.incoming.proxies = values::Yes;
    record.incoming.primaryProxy = "10.0.0.1";
    ASSERT_EQ(missingFields(record).size(), 1u);
    EXPECT_EQ(missingFields(record)[0].field, FieldId::InDataBearer);
    EXPECT_EQ(missingFields(record)[0].reason, FieldId::InPrimaryProxy);
    record.incoming.proxies = values::No;
    EXPECT_TRUE(record.isComplete());
}

// Each rule once, with the full expected text: a field is named once however
// many fields require it, by the first of them.
TEST(Completeness, namesEachMissingFieldOnceWithItsFirstReason)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Out Proxies: Yes\nOut Primary Proxy: 10.0.0.1\nOut Secondary Proxy: 10.0.0.2\n",
         "Out Data Bearer (required by Out Primary Proxy)"},
        {"In Proxies: Yes\nIn Primary Proxy: 10.0.0.1\nIn Secondary Proxy: 10.0.0.2\n"
         "In Primary ProxyPort: 8080\nIn Secondary ProxyPort: 9090\n",
         "In Data Bearer (required by In Primary Proxy)"},
        {"In Proxies: Yes\nIn Secondary Proxy: 10.0.0.2\n",
         "In Data Bearer (required by In Secondary Proxy)"},
        {"In Proxies: No\nIn Primary Proxy: 10.0.0.1\nIn Secondary Proxy: 10.0.0.2\n", ""},
        {"Out Proxies: Yes\nOut Primary ProxyPort: 1\nOut Secondary ProxyPort: 2\n",
         "Out Primary Proxy (required by Out Primary ProxyPort); "
         "Out Secondary Proxy (required by Out Secondary ProxyPort)"},
        {"Out Data Bearer: GPRS\nOut Bearer Username: u\nOut Bearer Password: p\n",
         "Out GPRS Access Point (required by Out Data Bearer); "
         "Out Bearer Authentication Type (required by Out Bearer Username)"},
        {"In Data Bearer: GSM Data\nIn GSM Dial-up Number: 123\nIn Bearer Password: p\n",
         "In Bearer Authentication Type (required by In Bearer Password)"},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        EmailSettings record;
        ASSERT_TRUE(readSettingsText(text, record).ok());
        EXPECT_EQ(describeMissingFields(record), expected);
        EXPECT_EQ(missingFields(record).empty(), std::string_view(expected).empty());
    }
}
