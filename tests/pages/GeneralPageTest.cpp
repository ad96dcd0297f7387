#include "GeneralPage.h"

#include "PageTestSupport.h"

#include <QKeyEvent>
#include <QSignalSpy>

using namespace mailvane;
using namespace mailvane::test;
using ids = pages::GeneralPage;

namespace {

class GeneralPageTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_page.show();
        m_page.onSetActive();
        m_record.resetToDefaults();
        m_page.fillFromRecord();
        m_page.onSetActive();
        m_page.setChanged(false);
    }

    settings::EmailSettings m_record;
    pages::GeneralPage m_page{m_record};
};

TEST_F(GeneralPageTest, editRuleStoresUpToTheLimitAndRestoresOverIt)
{
    struct Case
    {
        int control;
        settings::TextField settings::EmailSettings::*field;
        int limit;
    };
    const Case cases[] = {
        {ids::MailboxEdit, &settings::EmailSettings::mailbox, 50},
        {ids::EmailAddressEdit, &settings::EmailSettings::emailAddress, 80},
        {ids::OutgoingServerEdit, &settings::EmailSettings::outgoingServer, 80},
        {ids::IncomingServerEdit, &settings::EmailSettings::incomingServer, 80},
        {ids::UserNameEdit, &settings::EmailSettings::incomingServerUsername, 50},
        {ids::PasswordEdit, &settings::EmailSettings::incomingServerPassword, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        m_page.setChanged(false);
        const QString full(c.limit, QLatin1Char('x'));
        typeInto(&m_page, c.control, full);
        EXPECT_EQ(m_record.*c.field, std::string(c.limit, 'x'));
        EXPECT_TRUE(m_page.isChanged());
        QTest::keyClick(edit(&m_page, c.control), Qt::Key_Y);
        EXPECT_EQ(m_record.*c.field, std::string(c.limit, 'x'));
        EXPECT_EQ(edit(&m_page, c.control)->text(), full);
    }
}

TEST_F(GeneralPageTest, onlyLatin1CharactersGetIn)
{
    QLineEdit* mailbox = edit(&m_page, ids::MailboxEdit);
    mailbox->insert(QStringLiteral("M\u00fcller"));
    for (const QString& text : {QStringLiteral("\u20ac"), QStringLiteral("\u4e2d")}) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        QApplication::sendEvent(mailbox, &key);
    }
    mailbox->insert(QStringLiteral("a\u20acb")); // as a paste would
    EXPECT_EQ(m_record.mailbox, std::string("M\xfcller"));
    EXPECT_EQ(edit(&m_page, ids::MailboxEdit)->text(), QStringLiteral("M\u00fcller"));
}

TEST_F(GeneralPageTest, serverEditsAskForTheCompletenessTest)
{
    QSignalSpy spy(&m_page, &pages::SettingsPage::completenessTestRequested);
    typeInto(&m_page, ids::MailboxEdit, QStringLiteral("box"));
    EXPECT_EQ(spy.count(), 0);
    typeInto(&m_page, ids::OutgoingServerEdit, QStringLiteral("s"));
    typeInto(&m_page, ids::IncomingServerEdit, QStringLiteral("i"));
    EXPECT_EQ(spy.count(), 2);
}

TEST_F(GeneralPageTest, serverTypeClicksResetThePortAndDropTheOtherOption)
{
    m_record.incomingPort = "995";
    m_record.retrieveMethod = 1;
    QSignalSpy spy(&m_page, &pages::SettingsPage::completenessTestRequested);
    click(&m_page, ids::Pop3Radio);
    EXPECT_EQ(m_record.incomingServerType, settings::values::Pop3);
    EXPECT_EQ(m_record.incomingPort, "110");
    EXPECT_FALSE(m_record.retrieveMethod);
    EXPECT_TRUE(isChecked(&m_page, ids::Pop3Radio));
    EXPECT_FALSE(isChecked(&m_page, ids::Imap4Radio));
    EXPECT_TRUE(m_page.isChanged());

    m_record.secureLogin = 1;
    m_record.incomingPort.reset();
    click(&m_page, ids::Imap4Radio);
    EXPECT_EQ(m_record.incomingPort, "143");
    EXPECT_FALSE(m_record.secureLogin);
    // A click on the chosen protocol still resets the port.
    m_record.incomingPort = "993";
    click(&m_page, ids::Imap4Radio);
    EXPECT_EQ(m_record.incomingPort, "143");
    // The click runs the test and brings the marks up to date at once.
    EXPECT_EQ(spy.count(), 3);
    EXPECT_TRUE(markShown(&m_page, ids::IncomingServerMark));
}

TEST_F(GeneralPageTest, fillKeepsAPresentPortAndDefaultsAnAbsentOne)
{
    struct Case
    {
        std::optional<int> type;
        settings::TextField port;
        int wantType;
        std::string wantPort;
    };
    const Case cases[] = {
        {0, "995", 0, "995"},          {0, std::nullopt, 0, "110"},
        {1, std::nullopt, 1, "143"},   {std::nullopt, std::nullopt, 1, "143"},
        {std::nullopt, "12", 1, "12"},
    };
    for (const Case& c : cases) {
        m_record.clear();
        m_record.incomingServerType = c.type;
        m_record.incomingPort = c.port;
        m_record.retrieveMethod = 1;
        m_record.secureLogin = 1;
        m_record.mailbox = "box";
        m_page.fillFromRecord();
        EXPECT_EQ(m_record.incomingServerType, c.wantType);
        EXPECT_EQ(m_record.incomingPort, c.wantPort);
        EXPECT_EQ(m_record.retrieveMethod.has_value(), c.wantType == 1);
        EXPECT_EQ(m_record.secureLogin.has_value(), c.wantType == 0);
        EXPECT_EQ(edit(&m_page, ids::MailboxEdit)->text(), QStringLiteral("box"));
        EXPECT_EQ(isChecked(&m_page, ids::Pop3Radio), c.wantType == 0);
    }
}

TEST_F(GeneralPageTest, marksFollowThePortsAtActivationAndHelpFollowsTheMarks)
{
    EXPECT_TRUE(markShown(&m_page, ids::OutgoingServerMark));
    EXPECT_TRUE(markShown(&m_page, ids::IncomingServerMark));
    EXPECT_EQ(m_page.helpFor(ids::OutgoingServerMark), settings::strings::FieldIsMandatory);
    // The field says so to a screen reader too, after its own help.
    const QString mandatory = QStringLiteral("This field is mandatory.");
    QLineEdit* server = edit(&m_page, ids::OutgoingServerEdit);
    EXPECT_TRUE(server->accessibleDescription().endsWith(QStringLiteral(". ") + mandatory))
        << server->accessibleDescription().toStdString();
    m_record.outgoingPort = "";
    EXPECT_TRUE(markShown(&m_page, ids::OutgoingServerMark)); // only activation updates it
    m_page.onSetActive();
    EXPECT_FALSE(markShown(&m_page, ids::OutgoingServerMark));
    EXPECT_EQ(m_page.helpFor(ids::OutgoingServerMark), settings::strings::NoHelpTopic);
    EXPECT_FALSE(server->accessibleDescription().contains(mandatory));
    EXPECT_FALSE(server->accessibleDescription().isEmpty()) << "its own help stays";

    EXPECT_EQ(m_page.helpFor(ids::MailboxLabel), 90);
    EXPECT_EQ(m_page.helpFor(ids::Imap4Radio), 93);
    EXPECT_EQ(m_page.helpFor(ids::PasswordEdit), 96);
    EXPECT_EQ(m_page.helpFor(ids::MandatoryNote), settings::strings::NoHelpTopic);
}

TEST_F(GeneralPageTest, everyControlHasAnAccessibleName)
{
    for (QWidget* w : m_page.findChildren<QWidget*>()) {
        if (widgets::controlId(w) != 0 && !qobject_cast<QLabel*>(w)) {
            EXPECT_FALSE(w->accessibleName().isEmpty() && w->property("text").toString().isEmpty())
                << w->objectName().toStdString();
        }
    }
}

} // namespace
