#include "Completeness.h"

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
