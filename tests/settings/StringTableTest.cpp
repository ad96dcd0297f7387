#include "StringTable.h"

#include <gtest/gtest.h>

using namespace mailvane::settings;

TEST(StringTable, holdsTheTextsOfTheFileCommandsTheSummaryAndSending)
{
    EXPECT_EQ(stringText(strings::MailboxName), "Mailbox name:");
    EXPECT_EQ(stringText(strings::Yes), "Yes");
    EXPECT_EQ(stringText(strings::SaveChangesCaption), "Save Changes");
    EXPECT_EQ(stringText(strings::SaveChangesToFile),
              "Do you want to save the changes you made? (Settings file ");
    EXPECT_EQ(stringText(strings::InvalidFileFormatMessage), "The file format is invalid.");
    EXPECT_EQ(stringText(strings::SettingsSentMessage),
              "The e-mail settings were successfully sent to the target phone(s).");
    EXPECT_EQ(stringText(strings::PhoneNotConnectedMessage), "Phone isn't connected.");
    EXPECT_EQ(stringText(42), "") << "an id the table does not hold gives no text";
}
