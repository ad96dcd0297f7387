#include "SettingsSummary.h"

#include <gtest/gtest.h>

using namespace mailvane::settings;

namespace {

// The lines of the fixed frame around the two connection blocks.
std::string between(const std::string& text, std::string_view from, std::string_view to)
{
    const std::size_t start = text.find(from);
    const std::size_t end = text.find(to, start + from.size());
    if (start == std::string::npos || end == std::string::npos)
        return "<missing>";
    return text.substr(start + from.size(), end - start - from.size());
}

} // namespace

TEST(SettingsSummary, resetRecordGivesTheElevenLines)
{
    EmailSettings record;
    record.resetToDefaults();
    EXPECT_EQ(buildSummary(record), "\r\n"
                                    "General: \r\n"
                                    "Incoming server type: IMAP4\r\n"
                                    "\r\n"
                                    "Advanced: \r\n"
                                    "Outgoing (SMTP) port: 25\r\n"
                                    "Incoming (IMAP4) port: 143\r\n"
                                    "\r\n"
                                    "IMAP4 Connection:\r\n"
                                    "\r\n"
                                    "SMTP Connection: \r\n");
}

TEST(SettingsSummary, fullPop3RecordWithPasswordsAsAsterisks)
{
    EmailSettings r;
    r.mailbox = "Home";
    r.emailAddress = "bo@example.net";
    r.outgoingServer = "mail.example.net";
    r.incomingServerType = values::Pop3;
    r.incomingServer = "pop.example.net";
    r.incomingServerUsername = "bo";
    r.incomingServerPassword = "12345";
    r.smtpAuthorization = values::No;
    r.smtpUsername = "bo-smtp";
    r.smtpPassword = "ab";
    r.outgoingPort = "25";
    r.incomingPort = "110";
    r.replyToAddress = "r@example.net";
    r.retrieveEmails = "50";
    r.retrieveMethod = values::LatestUnread; // not shown with POP3
    r.secureLogin = values::Yes;
    r.incoming.proxies = values::Yes;
    r.incoming.primaryProxy = "p1";
    r.incoming.primaryProxyPort = "1";
    r.incoming.secondaryProxy = "p2";
    r.incoming.secondaryProxyPort = "2";
    r.incoming.dataBearer = values::GsmData;
    r.incoming.gsmDialUpNumber = "+4420";
    r.incoming.gsmDataCallType = values::Analog;
    r.incoming.gsmDataCallSpeed = "Auto Bauding";
    r.incoming.bearerAuthenticationType = values::Normal;
    r.incoming.bearerUsername = "u";
    r.incoming.bearerPassword = "pwd";
    r.outgoing.proxies = values::No;
    r.outgoing.primaryProxy = "hidden";
    r.outgoing.dataBearer = values::Gprs;
    r.outgoing.gprsAccessPoint = "apn";
    r.outgoing.gsmDialUpNumber = "hidden";
    r.outgoing.bearerAuthenticationType = values::Secure;
    EXPECT_EQ(buildSummary(r), "\r\n"
                               "General: \r\n"
                               "Mailbox name: Home\r\n"
                               "E-mail address: bo@example.net\r\n"
                               "Outgoing (SMTP) server: mail.example.net\r\n"
                               "Incoming server type: POP3\r\n"
                               "Incoming server: pop.example.net\r\n"
                               "User name: bo\r\n"
                               "Password: *****\r\n"
                               "\r\n"
                               "Advanced: \r\n"
                               "Use SMTP authorisation: No\r\n"
                               "SMTP user name: bo-smtp\r\n"
                               "SMTP password: **\r\n"
                               "Outgoing (SMTP) port: 25\r\n"
                               "Incoming (POP3) port: 110\r\n"
                               "Reply-to address: r@example.net\r\n"
                               "Retrieve e-mails: 50\r\n"
                               "Secure login: Yes\r\n"
                               "\r\n"
                               "POP3 Connection:\r\n"
                               "Proxies: Yes\r\n"
                               "Primary proxy: p1\r\n"
                               "Primary proxy port: 1\r\n"
                               "Secondary proxy: p2\r\n"
                               "Secondary proxy port: 2\r\n"
                               "Data bearer: GSM data\r\n"
                               "Dial-up number: +4420\r\n"
                               "Data call type: Analog\r\n"
                               "Data call speed: Auto Bauding\r\n"
                               "Authentication type: Normal\r\n"
                               "User name: u\r\n"
                               "Password: ***\r\n"
                               "\r\n"
                               "SMTP Connection: \r\n"
                               "Proxies: No\r\n"
                               "Data bearer: GPRS\r\n"
                               "Access point: apn\r\n"
                               "Authentication type: Secure\r\n");
}

TEST(SettingsSummary, imap4ShowsRetrievalMethodButNeverSecureLogin)
{
    EmailSettings r;
    r.incomingServerType = values::Imap4;
    r.secureLogin = values::Yes;
    r.retrieveMethod = values::LatestUnread;
    r.smtpAuthorization = values::Yes;
    r.incomingPort = "993";
    EXPECT_EQ(between(buildSummary(r), "Advanced: \r\n", "\r\n\r\n"),
              "Use SMTP authorisation: Yes\r\n"
              "Incoming (IMAP4) port: 993\r\n"
              "Retrieval method: Latest unread");
    r.retrieveMethod = values::Latest;
    EXPECT_NE(buildSummary(r).find("Retrieval method: Latest\r\n"), std::string::npos);
}

TEST(SettingsSummary, emptyTextsAndPasswordsShowNoLine)
{
    EmailSettings r;
    r.incomingServerType = values::Imap4;
    r.mailbox = "";
    r.incomingServerPassword = "";
    r.outgoingPort = "";
    EXPECT_EQ(between(buildSummary(r), "General: \r\n", "\r\nAdvanced"),
              "Incoming server type: IMAP4\r\n");
}

TEST(SettingsSummary, groupWithoutBearerShowsNoCredentials)
{
    EmailSettings r;
    r.incomingServerType = values::Imap4;
    r.outgoing.bearerUsername = "user";
    r.outgoing.bearerPassword = "pass";
    r.outgoing.bearerAuthenticationType = values::Secure;
    r.outgoing.gsmDataCallSpeed = "9600";
    const std::string text = buildSummary(r);
    EXPECT_EQ(text.substr(text.find("SMTP Connection: \r\n")), "SMTP Connection: \r\n");
}

TEST(SettingsSummary, isdnCallTypeAndNumericSpeedShownAsStored)
{
    EmailSettings r;
    r.incomingServerType = values::Imap4;
    r.incoming.dataBearer = values::GsmData;
    r.incoming.gsmDataCallType = values::Isdn;
    r.incoming.gsmDataCallSpeed = "14400";
    EXPECT_EQ(between(buildSummary(r), "IMAP4 Connection:\r\n", "\r\nSMTP"),
              "Data bearer: GSM data\r\n"
              "Data call type: ISDN\r\n"
              "Data call speed: 14400\r\n");
}

TEST(SettingsSummary, latin1ValuesPassThroughAndPasswordsCountBytes)
{
    EmailSettings r;
    r.incomingServerType = values::Pop3;
    r.mailbox = "B\xF6rse";
    r.smtpPassword = "\xE9t\xE9";
    const std::string text = buildSummary(r);
    EXPECT_NE(text.find("Mailbox name: B\xF6rse\r\n"), std::string::npos);
    EXPECT_NE(text.find("SMTP password: ***\r\n"), std::string::npos);
    EXPECT_EQ(text.find("\xE9"), std::string::npos);
}

TEST(SettingsSummary, absentServerTypeIsTakenAsImap4WithoutATypeLine)
{
    EmailSettings r;
    r.incomingPort = "143";
    r.secureLogin = values::Yes;
    EXPECT_EQ(buildSummary(r), "\r\n"
                               "General: \r\n"
                               "\r\n"
                               "Advanced: \r\n"
                               "Incoming (IMAP4) port: 143\r\n"
                               "\r\n"
                               "IMAP4 Connection:\r\n"
                               "\r\n"
                               "SMTP Connection: \r\n");
}
