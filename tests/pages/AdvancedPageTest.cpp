#include "AdvancedPage.h"
#include "Mnemonics.h"

#include "PageTestSupport.h"

#include <QSignalSpy>

using namespace mailvane;
using namespace mailvane::test;
using ids = pages::AdvancedPage;

namespace {

class AdvancedPageTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_record.resetToDefaults();
        m_page.show();
        m_page.onSetActive();
        m_page.setChanged(false);
    }

    settings::EmailSettings m_record;
    pages::AdvancedPage m_page{m_record};
};

TEST_F(AdvancedPageTest, serverTypeDecidesTheRetrievalOptionsAndThePortLabel)
{
    const std::vector<int> retrieval = {ids::RetrievalMethodLabel, ids::LatestRadio,
                                        ids::LatestUnreadRadio};
    const std::vector<int> secure = {ids::SecureLoginLabel, ids::SecureLoginYesRadio,
                                     ids::SecureLoginNoRadio};
    struct Case
    {
        std::optional<int> type;
        bool retrievalOn;
        const char* label;
    };
    // An absent type keeps the states the page had before.
    const Case cases[] = {{0, false, "Incoming (POP3) port:"},
                          {1, true, "Incoming (IMAP4) port:"},
                          {0, false, "Incoming (POP3) port:"},
                          {std::nullopt, false, "Incoming (IMAP4) port:"}};
    for (const Case& c : cases) {
        m_record.incomingServerType = c.type;
        m_page.onSetActive();
        for (int id : retrieval)
            EXPECT_EQ(isEnabled(&m_page, id), c.retrievalOn) << id;
        for (int id : secure)
            EXPECT_EQ(isEnabled(&m_page, id), !c.retrievalOn) << id;
        EXPECT_EQ(widgets::withoutMnemonic(control<QLabel>(&m_page, ids::IncomingPortLabel)->text()),
                  QString::fromLatin1(c.label));
    }
}

TEST_F(AdvancedPageTest, smtpAuthorisationNoEmptiesAndDisablesTheLogin)
{
    EXPECT_FALSE(isChecked(&m_page, ids::SmtpAuthYesRadio));
    EXPECT_FALSE(isChecked(&m_page, ids::SmtpAuthNoRadio));
    EXPECT_TRUE(isEnabled(&m_page, ids::SmtpUserNameEdit));
    typeInto(&m_page, ids::SmtpUserNameEdit, QStringLiteral("user"));
    typeInto(&m_page, ids::SmtpPasswordEdit, QStringLiteral("pw"));

    click(&m_page, ids::SmtpAuthNoRadio);
    EXPECT_EQ(m_record.smtpAuthorization, settings::values::No);
    EXPECT_EQ(m_record.smtpUsername, "");
    EXPECT_EQ(m_record.smtpPassword, "");
    for (int id : {ids::SmtpUserNameEdit, ids::SmtpPasswordEdit, ids::SmtpUserNameLabel,
                   ids::SmtpPasswordLabel})
        EXPECT_FALSE(isEnabled(&m_page, id)) << id;

    click(&m_page, ids::SmtpAuthYesRadio);
    EXPECT_EQ(m_record.smtpAuthorization, settings::values::Yes);
    EXPECT_FALSE(isChecked(&m_page, ids::SmtpAuthNoRadio));
    EXPECT_TRUE(isEnabled(&m_page, ids::SmtpUserNameEdit));
    EXPECT_TRUE(edit(&m_page, ids::SmtpUserNameEdit)->text().isEmpty());
}

TEST_F(AdvancedPageTest, digitEditsRefuseTypedLettersAndKeepTheirLimits)
{
    struct Case
    {
        int control;
        settings::TextField settings::EmailSettings::*field;
        int limit;
    };
    const Case cases[] = {{ids::OutgoingPortEdit, &settings::EmailSettings::outgoingPort, 5},
                          {ids::IncomingPortEdit, &settings::EmailSettings::incomingPort, 5},
                          {ids::RetrieveEmailsEdit, &settings::EmailSettings::retrieveEmails, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        typeInto(&m_page, c.control, QStringLiteral("1a2b34567"));
        EXPECT_EQ(m_record.*c.field, std::string("1234567").substr(0, c.limit));
        // A value the program shows (read from a file, which accepts "25a")
        // is stored as it is; only the operator's input is held to digits.
        edit(&m_page, c.control)->setText(QStringLiteral("25a"));
        EXPECT_EQ(m_record.*c.field, "25a");
    }
}

TEST_F(AdvancedPageTest, portsAskForTheTestAndRadiosStoreTheirChoice)
{
    QSignalSpy spy(&m_page, &pages::SettingsPage::completenessTestRequested);
    typeInto(&m_page, ids::OutgoingPortEdit, QString());
    EXPECT_EQ(m_record.outgoingPort, "");
    EXPECT_GE(spy.count(), 1);
    const int before = spy.count();
    typeInto(&m_page, ids::ReplyToEdit, QStringLiteral("r@x"));
    EXPECT_EQ(spy.count(), before);

    m_record.incomingServerType = settings::values::Imap4;
    m_page.onSetActive();
    click(&m_page, ids::LatestUnreadRadio);
    EXPECT_EQ(m_record.retrieveMethod, settings::values::LatestUnread);
    click(&m_page, ids::LatestRadio);
    EXPECT_EQ(m_record.retrieveMethod, settings::values::Latest);
    EXPECT_FALSE(isChecked(&m_page, ids::LatestUnreadRadio));
}

TEST_F(AdvancedPageTest, activationFillsWithoutCountingAsAChange)
{
    m_record.smtpAuthorization = settings::values::Yes;
    m_record.secureLogin = settings::values::No;
    m_record.incomingServerType = settings::values::Pop3;
    m_record.replyToAddress = "reply@x";
    m_page.onSetActive();
    EXPECT_FALSE(m_page.isChanged());
    EXPECT_TRUE(m_page.isShown());
    EXPECT_TRUE(isChecked(&m_page, ids::SmtpAuthYesRadio));
    EXPECT_TRUE(isChecked(&m_page, ids::SecureLoginNoRadio));
    EXPECT_FALSE(isChecked(&m_page, ids::SecureLoginYesRadio));
    EXPECT_EQ(edit(&m_page, ids::ReplyToEdit)->text(), QStringLiteral("reply@x"));
    EXPECT_EQ(m_page.helpFor(ids::RetrieveEmailsLabel), 103);
    EXPECT_EQ(m_page.helpFor(ids::SmtpAuthNoRadio), 101);
}

} // namespace
