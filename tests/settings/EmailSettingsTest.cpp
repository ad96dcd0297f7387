#include "EmailSettings.h"

#include <gtest/gtest.h>

using namespace mailvane::settings;

TEST(EmailSettings, resetRecordHoldsDefaultsAndIsIncomplete)
{
    EmailSettings record;
    record.mailbox = "box";
    record.resetToDefaults();
    EXPECT_FALSE(record.mailbox);
    EXPECT_EQ(record.incomingServerType, values::Imap4);
    EXPECT_EQ(record.outgoingPort, "25");
    EXPECT_EQ(record.incomingPort, "143");
    EXPECT_FALSE(record.isComplete());

    record.outgoingServer = "smtp.example.org";
    EXPECT_FALSE(record.isComplete());
    record.incomingServer = "imap.example.org";
    EXPECT_TRUE(record.isComplete());
}

TEST(EmailSettings, emptyingAPortFreesItsServer)
{
    EmailSettings record;
    record.resetToDefaults();
    record.outgoingPort = "";
    record.incomingPort.reset();
    EXPECT_TRUE(record.isComplete());
}

TEST(EmailSettings, proxyPortWithoutAddressIsIncompleteOnlyWhileProxiesAreOn)
{
    EmailSettings record;
    record.outgoing.proxies = values::Yes;
    record.outgoing.primaryProxyPort = "8080";
    EXPECT_FALSE(record.isComplete());
    record.outgoing.proxies = values::No;
    EXPECT_TRUE(record.isComplete());

    record.incoming.proxies = values::Yes;
    record.incoming.secondaryProxy = "proxy.example.org";
    EXPECT_FALSE(record.isComplete()) << "a proxy address needs a data bearer";
    record.incoming.dataBearer = values::GsmData;
    EXPECT_FALSE(record.isComplete()) << "GSM data needs a dial-up number";
    record.incoming.gsmDialUpNumber = "+441234";
    EXPECT_TRUE(record.isComplete());
}

TEST(EmailSettings, bearerCredentialsNeedAnAuthenticationType)
{
    EmailSettings record;
    record.outgoing.dataBearer = values::Gprs;
    record.outgoing.gprsAccessPoint = "internet";
    EXPECT_TRUE(record.isComplete());
    record.outgoing.bearerUsername = "user";
    EXPECT_FALSE(record.isComplete());
    record.outgoing.bearerAuthenticationType = values::Normal;
    EXPECT_TRUE(record.isComplete());
    record.outgoing.gprsAccessPoint = "";
    EXPECT_FALSE(record.isComplete());
}
