#include "OpenSettings.h"

#include "TempDir.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace mailvane::settings;

namespace {

EmailSettings opened(std::string_view fileText)
{
    EmailSettings record;
    EXPECT_TRUE(readSettingsText(fileText, record).ok());
    applyOpenDefaults(record);
    return record;
}

} // namespace

TEST(OpenSettings, emptyFileGetsTheResetDefaults)
{
    EmailSettings expected;
    expected.resetToDefaults();
    EXPECT_EQ(opened("#E-Mail Settings File\r\n"), expected);
}

TEST(OpenSettings, pop3KeepsSecureLoginDropsRetrieveMethodAndDefaultsPort110)
{
    const EmailSettings record = opened("Incoming Server Type: POP3\nSecure Login: Yes\n"
                                        "Retrieve Method: Latest\n");
    EXPECT_EQ(record.incomingServerType, values::Pop3);
    EXPECT_EQ(record.incomingPort, "110");
    EXPECT_EQ(record.outgoingPort, "25");
    EXPECT_EQ(record.secureLogin, values::Yes);
    EXPECT_FALSE(record.retrieveMethod);
}

TEST(OpenSettings, absentTypeBecomesImap4AndDropsSecureLogin)
{
    const EmailSettings record = opened("Secure Login: Yes\nRetrieve Method: Latest\n");
    EXPECT_EQ(record.incomingServerType, values::Imap4);
    EXPECT_EQ(record.incomingPort, "143");
    EXPECT_FALSE(record.secureLogin);
    EXPECT_EQ(record.retrieveMethod, values::Latest);
}

TEST(OpenSettings, portsInTheFileStayEvenWhenEmpty)
{
    const EmailSettings record =
        opened("Incoming Server Type: pop3\nIncoming Port:\nOutgoing Port: 2525\n");
    EXPECT_EQ(record.incomingPort, "");
    EXPECT_EQ(record.outgoingPort, "2525");
}

TEST(OpenSettings, openingClearsFirstAndResetsOnFailure)
{
    mailvane::test::TempDir dir;
    std::ofstream(dir / "good.txt", std::ios::binary) << "Mailbox: Good\r\n";
    std::ofstream(dir / "bad.txt", std::ios::binary) << "Mailbox: Bad\r\nNote\r\n";

    EmailSettings record;
    record.smtpUsername = "from before";
    ASSERT_TRUE(openSettingsFile(dir / "good.txt", record).ok());
    EXPECT_EQ(record.mailbox, "Good");
    EXPECT_FALSE(record.smtpUsername);
    EXPECT_EQ(record.incomingServerType, values::Imap4);

    EmailSettings defaults;
    defaults.resetToDefaults();
    const ReadResult bad = openSettingsFile(dir / "bad.txt", record);
    EXPECT_EQ(bad.status, ReadStatus::Invalid);
    EXPECT_EQ(bad.line, 2u);
    EXPECT_EQ(record, defaults);

    EXPECT_EQ(openSettingsFile(dir / "missing.txt", record).status, ReadStatus::CannotOpen);
    EXPECT_EQ(record, defaults);
}
