#include "MainDialog.h"
#include "Mnemonics.h"

#include "AdvancedPage.h"
#include "ConnectionPage.h"
#include "ControlNumbers.h"
#include "DialogDriver.h"
#include "FileDialogHook.h"
#include "GeneralPage.h"
#include "HelpPopup.h"
#include "MessageBoxHook.h"
#include "MessageBoxWindow.h"
#include "PageTestSupport.h"
#include "SettingsFileReader.h"
#include "SettingsFileWriter.h"
#include "SkinMessageBox.h"
#include "SkinTabBar.h"
#include "SkinTabWidget.h"
#include "TempDir.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QFile>
#include <QMenuBar>
#include <QWhatsThis>
#include <filesystem>
#include <fstream>

using namespace mailvane;
using namespace mailvane::test;
using widgets::SkinMessageBox;
using general = pages::GeneralPage;
using advanced = pages::AdvancedPage;
using connection = pages::ConnectionPage;

namespace {

constexpr unsigned YesNoCancelExclamation = 51;
constexpr unsigned YesNoExclamation = 52;
constexpr unsigned OkExclamation = 48;

QString qpath(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class MainDialogTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_dialog.show();
        QApplication::processEvents();
    }

    QAction* command(int number)
    {
        for (QAction* action : m_dialog.findChildren<QAction*>()) {
            if (action->data().toInt() == number)
                return action;
        }
        ADD_FAILURE() << "no command " << number;
        return nullptr;
    }

    void run(int number) { command(number)->trigger(); }

    bool sendEnabled() { return m_dialog.buttonWindow(app::main_window::SendButton)->isEnabled(); }

    void activate(pages::SettingsPage* page)
    {
        for (int i = 0; i < m_dialog.sheet()->pageCount(); ++i) {
            if (m_dialog.sheet()->page(i) == page)
                m_dialog.sheet()->setActivePage(i);
        }
    }

    // Both servers named: complete with the default ports.
    void fillServers()
    {
        typeInto(m_dialog.generalPage(), general::OutgoingServerEdit, QStringLiteral("smtp.x"));
        typeInto(m_dialog.generalPage(), general::IncomingServerEdit, QStringLiteral("imap.x"));
    }

    QStringList captions() const
    {
        QStringList result;
        for (const widgets::MessageBoxRequest& request : m_boxes.requests())
            result << request.caption;
        return result;
    }

    TempDir m_dir;
    widgets::MessageBoxHook m_boxes{SkinMessageBox::IdCancel};
    widgets::FileDialogHook m_files;
    app::MainDialog m_dialog;
};

TEST_F(MainDialogTest, startsWithTheDefaultsOnTheGeneralPage)
{
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("Mailvane       "));
    EXPECT_EQ(m_dialog.sheet()->activeIndex(), 0);
    EXPECT_TRUE(m_dialog.recipientsEdit()->text().isEmpty());
    EXPECT_EQ(m_dialog.record().incomingServerType, settings::values::Imap4);
    EXPECT_EQ(m_dialog.record().outgoingPort, "25");
    EXPECT_EQ(m_dialog.record().incomingPort, "143");
    EXPECT_FALSE(m_dialog.settingsChanged());
    EXPECT_FALSE(sendEnabled());
    EXPECT_NE(m_dialog.phoneLink(), nullptr);
    const QStringList menus = {QStringLiteral("File"), QStringLiteral("Help")};
    QStringList shown;
    for (QAction* menu : m_dialog.menuBar()->actions())
        shown << widgets::withoutMnemonic(menu->text());
    EXPECT_EQ(shown, menus);
}

TEST_F(MainDialogTest, sendIsEnabledExactlyWhileTheSettingsAreComplete)
{
    fillServers();
    EXPECT_TRUE(sendEnabled());

    // Outgoing proxies with a port but no address make it incomplete.
    pages::ConnectionPage* outgoing = m_dialog.outgoingPage();
    activate(outgoing);
    click(outgoing, connection::ProxiesYesRadio);
    typeInto(outgoing, connection::PrimaryProxyPortEdit, QStringLiteral("8080"));
    EXPECT_FALSE(sendEnabled());
    click(outgoing, connection::ProxiesNoRadio);
    EXPECT_TRUE(sendEnabled());

    // Emptying the outgoing port frees the outgoing server.
    typeInto(m_dialog.generalPage(), general::OutgoingServerEdit, QString());
    EXPECT_FALSE(sendEnabled());
    activate(m_dialog.advancedPage());
    typeInto(m_dialog.advancedPage(), advanced::OutgoingPortEdit, QString());
    EXPECT_TRUE(sendEnabled());

    // POP3 resets the incoming port, which makes the incoming server
    // mandatory again: Send follows at once.
    typeInto(m_dialog.generalPage(), general::IncomingServerEdit, QString());
    typeInto(m_dialog.advancedPage(), advanced::IncomingPortEdit, QString());
    EXPECT_TRUE(sendEnabled());
    activate(m_dialog.generalPage());
    click(m_dialog.generalPage(), general::Pop3Radio);
    EXPECT_FALSE(sendEnabled());
}

TEST_F(MainDialogTest, generalPageMarksAndSendFollowEachPortOnItsOwn)
{
    struct Case
    {
        const char* outgoingPort;
        const char* incomingPort;
        const char* outgoingServer;
        const char* incomingServer;
        bool outgoingMark;
        bool incomingMark;
        bool send;
    };
    const Case cases[] = {
        {"25", "143", "", "", true, true, false},     // both servers required
        {"", "143", "", "", false, true, false},      // only the incoming one
        {"", "143", "", "imap.x", false, true, true}, // ... and it is there
        {"25", "", "", "", true, false, false},       // only the outgoing one
        {"25", "", "smtp.x", "", true, false, true},  // ... and it is there
        {"", "", "", "", false, false, true},         // neither
    };
    pages::GeneralPage* general = m_dialog.generalPage();
    pages::AdvancedPage* advanced = m_dialog.advancedPage();
    const auto help = [](bool mark) {
        return mark ? settings::strings::FieldIsMandatory : settings::strings::NoHelpTopic;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("ports '") + c.outgoingPort + "' '" + c.incomingPort +
                     "', servers '" + c.outgoingServer + "' '" + c.incomingServer + "'");
        typeInto(general, general::OutgoingServerEdit, QString::fromLatin1(c.outgoingServer));
        typeInto(general, general::IncomingServerEdit, QString::fromLatin1(c.incomingServer));
        activate(advanced);
        typeInto(advanced, advanced::OutgoingPortEdit, QString::fromLatin1(c.outgoingPort));
        typeInto(advanced, advanced::IncomingPortEdit, QString::fromLatin1(c.incomingPort));
        activate(general);
        EXPECT_EQ(markShown(general, general::OutgoingServerMark), c.outgoingMark);
        EXPECT_EQ(markShown(general, general::IncomingServerMark), c.incomingMark);
        EXPECT_EQ(general->helpFor(general::OutgoingServerMark), help(c.outgoingMark));
        EXPECT_EQ(general->helpFor(general::IncomingServerMark), help(c.incomingMark));
        EXPECT_EQ(sendEnabled(), c.send);
        EXPECT_EQ(m_dialog.record().isComplete(), c.send);
    }
}

TEST_F(MainDialogTest, fileCommandKeysRunTheirCommands)
{
    using Mode = widgets::SkinFileDialog::Mode;
    struct Case
    {
        const char* command;
        QKeyCombination key;
        bool asks; // the save-changes question comes first
        std::optional<Mode> dialog;
        bool writes;
        bool closes;
    };
    const Case cases[] = {
        {"New", Qt::CTRL | Qt::Key_N, true, std::nullopt, false, false},
        {"Open", Qt::CTRL | Qt::Key_O, true, Mode::Open, false, false},
        {"Save", Qt::CTRL | Qt::Key_S, false, std::nullopt, true, false},
        {"Save As", Qt::CTRL | Qt::SHIFT | Qt::Key_S, false, Mode::Save, false, false},
        {"Exit", Qt::CTRL | Qt::Key_Q, true, std::nullopt, false, true},
    };
    const auto path = m_dir / "keys.txt";
    m_boxes.setDefaultAnswer(SkinMessageBox::IdNo);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        std::ofstream(path, std::ios::trunc) << "Mailbox: old\r\n";
        m_dialog.openFile(qpath(path));
        typeInto(m_dialog.generalPage(), general::MailboxEdit, QStringLiteral("new"));
        m_dialog.activateWindow();
        QApplication::setActiveWindow(&m_dialog);
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_dialog.isActiveWindow(); }, 2000));
        m_boxes.clear();
        m_files.clear();

        QTest::keyClick(QApplication::focusWidget(), c.key.key(), c.key.keyboardModifiers());
        EXPECT_EQ(captions(), c.asks ? QStringList{QStringLiteral("Save Changes")} : QStringList());
        ASSERT_EQ(m_files.calls().size(), c.dialog ? 1 : 0);
        if (c.dialog) {
            EXPECT_EQ(m_files.calls()[0].mode, *c.dialog);
        }
        EXPECT_EQ(readFile(path).find("Mailbox: new") != std::string::npos, c.writes);
        EXPECT_EQ(m_dialog.isVisible(), !c.closes);
    }
    // The menu shows each key beside its command.
    EXPECT_EQ(command(app::menu::SaveAsCommand)->shortcut().toString(),
              QStringLiteral("Ctrl+Shift+S"));
}

TEST_F(MainDialogTest, theWindowKeepsTheSizeItsContentsNeed)
{
    const QSize laidOut = m_dialog.size();
    // Nothing of the window may be cut off or squeezed at that size.
    for (QWidget* child : m_dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isVisible()) {
            EXPECT_TRUE(m_dialog.rect().contains(child->geometry()))
                << child->objectName().toStdString();
        }
    }
    EXPECT_GE(m_dialog.sheet()->height(), m_dialog.sheet()->minimumSizeHint().height());
    for (const QSize tried : {QSize(500, 400), QSize(1100, 900)}) {
        m_dialog.resize(tried);
        QApplication::processEvents();
        EXPECT_EQ(m_dialog.size(), laidOut) << tried.width() << "x" << tried.height();
    }
    EXPECT_EQ(m_dialog.minimumSize(), laidOut);
    EXPECT_EQ(m_dialog.maximumSize(), laidOut);
}

TEST_F(MainDialogTest, newAsksBeforeLosingChangesAndForgetsTheFile)
{
    typeInto(m_dialog.generalPage(), general::MailboxEdit, QStringLiteral("box"));
    m_boxes.answer(SkinMessageBox::IdCancel);
    run(app::menu::NewCommand);
    ASSERT_EQ(m_boxes.requests().size(), 1);
    EXPECT_EQ(m_boxes.requests()[0].text, QStringLiteral("Do you want to save the changes?"));
    EXPECT_EQ(m_boxes.requests()[0].caption, QStringLiteral("Save Changes"));
    EXPECT_EQ(m_boxes.requests()[0].flags, YesNoCancelExclamation);
    EXPECT_EQ(m_dialog.record().mailbox, "box");

    m_boxes.answer(SkinMessageBox::IdNo);
    run(app::menu::NewCommand);
    EXPECT_FALSE(m_dialog.record().mailbox.has_value() && !m_dialog.record().mailbox->empty());
    EXPECT_FALSE(m_dialog.settingsChanged());
    EXPECT_TRUE(m_dialog.currentFile().isEmpty());
}

TEST_F(MainDialogTest, saveAsWritesTheFileAndAsksBeforeReplacingOne)
{
    const auto path = m_dir / "settings.txt";
    fillServers();
    m_files.choose(qpath(path));
    run(app::menu::SaveAsCommand);
    EXPECT_EQ(m_boxes.requests().size(), 0);
    EXPECT_EQ(m_dialog.currentFile(), qpath(path));
    EXPECT_FALSE(m_dialog.settingsChanged());
    EXPECT_NE(readFile(path).find("Outgoing Server: smtp.x\r\n"), std::string::npos);
    ASSERT_EQ(m_files.calls().size(), 1);
    EXPECT_EQ(m_files.calls()[0].mode, widgets::SkinFileDialog::Mode::Save);
    EXPECT_EQ(m_files.calls()[0].request.defaultExtension, QStringLiteral("txt"));

    // The file exists now: declining the question writes nothing.
    typeInto(m_dialog.generalPage(), general::MailboxEdit, QStringLiteral("box"));
    m_files.choose(qpath(path));
    m_boxes.answer(SkinMessageBox::IdNo);
    run(app::menu::SaveAsCommand);
    ASSERT_EQ(m_boxes.requests().size(), 1);
    EXPECT_EQ(m_boxes.requests()[0].text,
              QStringLiteral("Do you want to save the changes you made? (Settings file  "
                             "settings.txt)"));
    EXPECT_EQ(m_boxes.requests()[0].caption,
              QStringLiteral("Do you want to replace the existing settings file "));
    EXPECT_EQ(m_boxes.requests()[0].flags, YesNoExclamation);
    EXPECT_EQ(readFile(path).find("Mailbox"), std::string::npos);
    EXPECT_TRUE(m_dialog.settingsChanged());

    // Save writes to the current file without a dialog.
    run(app::menu::SaveCommand);
    EXPECT_EQ(m_files.calls().size(), 2);
    EXPECT_NE(readFile(path).find("Mailbox: box\r\n"), std::string::npos);
    EXPECT_FALSE(m_dialog.settingsChanged());
}

TEST_F(MainDialogTest, aFailedWriteIsReportedAndTheChangesStayMarked)
{
    typeInto(m_dialog.generalPage(), general::MailboxEdit, QStringLiteral("box"));
    const auto path = m_dir / "missing-folder" / "settings.txt";
    m_files.choose(qpath(path));
    run(app::menu::SaveAsCommand);
    ASSERT_EQ(m_boxes.requests().size(), 1);
    EXPECT_EQ(m_boxes.requests()[0].caption, QStringLiteral("Save Failed"));
    EXPECT_TRUE(m_boxes.requests()[0].text.startsWith(
        QStringLiteral("The settings could not be saved to ") + qpath(path) +
        QStringLiteral(": ")));
    EXPECT_EQ(m_boxes.requests()[0].flags, OkExclamation);
    EXPECT_TRUE(m_dialog.settingsChanged());

    // The failed file did not become the current one: the Yes of the save
    // question asks for a name again, fails the same way, and stops the command.
    EXPECT_TRUE(m_dialog.currentFile().isEmpty());
    m_boxes.answer(SkinMessageBox::IdYes);
    m_files.choose(qpath(path));
    run(app::menu::NewCommand);
    EXPECT_EQ(captions(),
              (QStringList{QStringLiteral("Save Failed"), QStringLiteral("Save Changes"),
                           QStringLiteral("Save Failed")}));
    EXPECT_EQ(m_dialog.record().mailbox, "box");
}

TEST_F(MainDialogTest, openFillsEveryPageAndKeepsTheRecipients)
{
    const auto path = m_dir / "in.txt";
    std::ofstream(path) << "#E-Mail Settings File\r\nMailbox: box\r\nIncoming Server Type: POP3\r\n"
                           "Incoming Port: 995\r\nIn Data Bearer: GSM Data\r\n"
                           "In GSM Dial-up Number: 123\r\nIn GSM Data Call Speed: 9600\r\n";
    activate(m_dialog.incomingPage());
    activate(m_dialog.advancedPage());
    m_dialog.recipientsEdit()->setText(QStringLiteral("0401"));
    m_files.choose(qpath(path));
    run(app::menu::OpenCommand);
    EXPECT_EQ(m_boxes.requests().size(), 0);
    EXPECT_EQ(m_dialog.sheet()->activeIndex(), 0);
    EXPECT_EQ(m_dialog.currentFile(), qpath(path));
    EXPECT_EQ(m_dialog.record().outgoingPort, "25");
    EXPECT_EQ(m_dialog.record().incomingPort, "995");
    EXPECT_EQ(m_dialog.recipientsEdit()->text(), QStringLiteral("0401"));
    EXPECT_EQ(edit(m_dialog.generalPage(), general::MailboxEdit)->text(), QStringLiteral("box"));
    EXPECT_TRUE(isChecked(m_dialog.generalPage(), general::Pop3Radio));
    EXPECT_EQ(edit(m_dialog.advancedPage(), advanced::OutgoingPortEdit)->text(),
              QStringLiteral("25"));
    EXPECT_EQ(edit(m_dialog.incomingPage(), connection::DialUpNumberEdit)->text(),
              QStringLiteral("123"));
    EXPECT_EQ(m_dialog.record().incoming.gsmDataCallSpeed, "9600");
    EXPECT_FALSE(m_dialog.settingsChanged());
    ASSERT_EQ(m_files.calls().size(), 1);
    EXPECT_EQ(m_files.calls()[0].mode, widgets::SkinFileDialog::Mode::Open);
}

TEST_F(MainDialogTest, aCancelledOrFailedOpenLeavesDefaultsAndNoFileName)
{
    const auto good = m_dir / "good.txt";
    const auto bad = m_dir / "bad.txt";
    std::ofstream(good) << "Mailbox: first\r\n";
    std::ofstream(bad) << "Mailbox: x\r\nNote\r\n";
    struct Case
    {
        std::optional<std::filesystem::path> choice;
        QStringList boxes;
    };
    const Case cases[] = {
        {std::nullopt, {}},
        {m_dir / "missing.txt", {QStringLiteral("File Not Found")}},
        {bad, {QStringLiteral("Invalid File Format")}},
    };
    for (const Case& c : cases) {
        m_files.choose(qpath(good));
        run(app::menu::OpenCommand);
        ASSERT_EQ(m_dialog.currentFile(), qpath(good));
        m_dialog.recipientsEdit()->setText(QStringLiteral("0401"));
        m_boxes.clear();
        if (c.choice)
            m_files.choose(qpath(*c.choice));
        else
            m_files.cancel();
        run(app::menu::OpenCommand);
        EXPECT_EQ(captions(), c.boxes);
        EXPECT_FALSE(m_dialog.record().mailbox.has_value() && !m_dialog.record().mailbox->empty());
        EXPECT_EQ(m_dialog.record().incomingPort, "143");
        EXPECT_TRUE(m_dialog.recipientsEdit()->text().isEmpty());
        EXPECT_TRUE(m_dialog.currentFile().isEmpty());
    }
    // So a following Save asks for a name instead of writing over good.txt.
    m_files.cancel();
    typeInto(m_dialog.generalPage(), general::MailboxEdit, QStringLiteral("other"));
    run(app::menu::SaveCommand);
    EXPECT_EQ(readFile(good), "Mailbox: first\r\n");
}

TEST_F(MainDialogTest, aFileNamedAtStartUpOpensWithoutTheDialog)
{
    const auto path = m_dir / "named.txt";
    std::ofstream(path) << "Mailbox: named\r\n";
    m_dialog.openFile(qpath(path));
    EXPECT_TRUE(m_files.calls().isEmpty());
    EXPECT_EQ(m_dialog.record().mailbox, "named");
    EXPECT_EQ(m_dialog.currentFile(), qpath(path));

    // A wrong name costs the window nothing, not even unsaved edits: no
    // question, and a message that names the file.
    typeInto(m_dialog.generalPage(), general::MailboxEdit, QStringLiteral("unsaved"));
    std::ofstream(m_dir / "notes.txt") << "shopping: milk\r\n";
    const struct
    {
        const char* name;
        const char* caption;
        const char* text;
    } wrongNames[] = {{"absent.txt", "File Not Found", "The file does not exist."},
                      {"notes.txt", "Invalid File Format", "The file format is invalid."},
                      {"", "File Not Found", "The file does not exist."}};
    for (const auto& wrong : wrongNames) {
        SCOPED_TRACE(wrong.name);
        m_boxes.clear();
        const QString wrongPath = qpath(m_dir / wrong.name);
        m_dialog.openFile(wrongPath);
        EXPECT_EQ(captions(), QStringList{QString::fromLatin1(wrong.caption)});
        EXPECT_EQ(m_boxes.requests().value(0).text,
                  QString::fromLatin1(wrong.text) + QStringLiteral("\n\n") + wrongPath);
        EXPECT_EQ(m_dialog.currentFile(), qpath(path));
        EXPECT_EQ(m_dialog.record().mailbox, "unsaved");
        EXPECT_TRUE(m_dialog.settingsChanged());
    }
}

TEST_F(MainDialogTest, emptyFieldsResetsWithoutAQuestionAndKeepsTheFile)
{
    const auto path = m_dir / "kept.txt";
    typeInto(m_dialog.generalPage(), general::MailboxEdit, QStringLiteral("box"));
    m_files.choose(qpath(path));
    run(app::menu::SaveAsCommand);
    typeInto(m_dialog.generalPage(), general::MailboxEdit, QStringLiteral("changed"));
    m_dialog.recipientsEdit()->setText(QStringLiteral("0401"));
    QTest::mouseClick(m_dialog.buttonWindow(app::main_window::EmptyFieldsButton), Qt::LeftButton,
                      {}, QPoint(10, 10));
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_dialog.recipientsEdit()->text().isEmpty(); }, 2000));
    EXPECT_EQ(m_boxes.requests().size(), 0);
    EXPECT_EQ(m_dialog.currentFile(), qpath(path));
    EXPECT_FALSE(m_dialog.settingsChanged());
    run(app::menu::SaveCommand);
    EXPECT_EQ(readFile(path), settings::settingsFileText([] {
                  settings::EmailSettings defaults;
                  defaults.resetToDefaults();
                  return defaults;
              }()));
}

TEST_F(MainDialogTest, exitAsksAndCancelKeepsTheWindowOpen)
{
    typeInto(m_dialog.generalPage(), general::MailboxEdit, QStringLiteral("box"));
    m_boxes.answer(SkinMessageBox::IdCancel);
    run(app::menu::ExitCommand);
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_EQ(captions(), QStringList{QStringLiteral("Save Changes")});
    // Escape does not close it either.
    QTest::keyClick(&m_dialog, Qt::Key_Escape);
    EXPECT_TRUE(m_dialog.isVisible());

    m_boxes.answer(SkinMessageBox::IdNo);
    run(app::menu::ExitCommand);
    EXPECT_FALSE(m_dialog.isVisible());
}

TEST_F(MainDialogTest, everyFieldSurvivesSaveAndOpen)
{
    auto* general = m_dialog.generalPage();
    auto* advanced = m_dialog.advancedPage();
    typeInto(general, general::MailboxEdit, QStringLiteral("box"));
    typeInto(general, general::EmailAddressEdit, QStringLiteral("me@x"));
    typeInto(general, general::OutgoingServerEdit, QStringLiteral("smtp.x"));
    click(general, general::Pop3Radio);
    typeInto(general, general::IncomingServerEdit, QStringLiteral("pop.x"));
    typeInto(general, general::UserNameEdit, QStringLiteral("me"));
    typeInto(general, general::PasswordEdit, QStringLiteral("pw"));
    activate(advanced);
    click(advanced, advanced::SmtpAuthYesRadio);
    typeInto(advanced, advanced::SmtpUserNameEdit, QStringLiteral("su"));
    typeInto(advanced, advanced::SmtpPasswordEdit, QStringLiteral("sp"));
    typeInto(advanced, advanced::OutgoingPortEdit, QStringLiteral("587"));
    typeInto(advanced, advanced::IncomingPortEdit, QStringLiteral("995"));
    typeInto(advanced, advanced::ReplyToEdit, QStringLiteral("r@x"));
    typeInto(advanced, advanced::RetrieveEmailsEdit, QStringLiteral("20"));
    click(advanced, advanced::SecureLoginYesRadio);
    for (auto* page : {m_dialog.incomingPage(), m_dialog.outgoingPage()}) {
        const bool gsm = page == m_dialog.outgoingPage();
        activate(page);
        click(page, connection::ProxiesYesRadio);
        typeInto(page, connection::PrimaryProxyEdit, QStringLiteral("p1"));
        typeInto(page, connection::PrimaryProxyPortEdit, QStringLiteral("8080"));
        typeInto(page, connection::SecondaryProxyEdit, QStringLiteral("p2"));
        typeInto(page, connection::SecondaryProxyPortEdit, QStringLiteral("8081"));
        click(page, gsm ? connection::GsmDataRadio : connection::GprsRadio);
        if (gsm) {
            typeInto(page, connection::DialUpNumberEdit, QStringLiteral("555"));
            click(page, connection::IsdnRadio);
            auto* speed = control<QComboBox>(page, connection::CallSpeedCombo);
            speed->setCurrentIndex(2);
            Q_EMIT speed->activated(2);
        } else {
            typeInto(page, connection::AccessPointEdit, QStringLiteral("apn"));
        }
        typeInto(page, gsm ? connection::GsmUserNameEdit : connection::GprsUserNameEdit,
                 QStringLiteral("bu"));
        typeInto(page, gsm ? connection::GsmPasswordEdit : connection::GprsPasswordEdit,
                 QStringLiteral("bp"));
        click(page, gsm ? connection::GsmSecureRadio : connection::GprsNormalRadio);
    }
    EXPECT_TRUE(sendEnabled());
    const settings::EmailSettings edited = m_dialog.record();

    const auto path = m_dir / "all.txt";
    m_files.choose(qpath(path));
    run(app::menu::SaveAsCommand);
    m_boxes.answer(SkinMessageBox::IdNo);
    run(app::menu::NewCommand);
    m_files.choose(qpath(path));
    run(app::menu::OpenCommand);
    for (auto* page : {static_cast<pages::SettingsPage*>(m_dialog.advancedPage()),
                       static_cast<pages::SettingsPage*>(m_dialog.incomingPage()),
                       static_cast<pages::SettingsPage*>(m_dialog.outgoingPage())})
        activate(page);
    EXPECT_EQ(m_dialog.record(), edited);
    EXPECT_EQ(edit(m_dialog.outgoingPage(), connection::GsmUserNameEdit)->text(),
              QStringLiteral("bu"));
    EXPECT_TRUE(sendEnabled());
}

TEST_F(MainDialogTest, keyboardAloneReachesEveryPartInOrder)
{
    fillServers(); // Send enabled, so that it takes the focus too
    m_dialog.activateWindow();
    m_dialog.recipientsEdit()->setFocus();
    QStringList order;
    for (int i = 0; i < 14; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        order << (qobject_cast<widgets::SkinTabBar*>(focus) ? QStringLiteral("tabs")
                                                            : focus->objectName());
    }
    const QStringList expected = {QStringLiteral("tabs"),
                                  QStringLiteral("mailboxEdit"),
                                  QStringLiteral("emailAddressEdit"),
                                  QStringLiteral("outgoingServerEdit"),
                                  QStringLiteral("pop3Radio"),
                                  QStringLiteral("imap4Radio"),
                                  QStringLiteral("incomingServerEdit"),
                                  QStringLiteral("userNameEdit"),
                                  QStringLiteral("passwordEdit"),
                                  QStringLiteral("emptyFieldsButton"),
                                  QStringLiteral("sendButton"),
                                  QStringLiteral("chooseRecipientsButton"),
                                  QStringLiteral("recipientsEdit"),
                                  QStringLiteral("tabs")};
    EXPECT_EQ(order, expected);
}

// Alt with a letter reaches each labelled control and choice of the page in
// front, and the menus: no letter twice.
TEST_F(MainDialogTest, everyPageGivesEachLabelAndChoiceALetterOfItsOwn)
{
    QString menuLetters;
    for (QAction* menu : m_dialog.menuBar()->actions()) {
        const QString text = menu->text();
        ASSERT_TRUE(text.contains(QLatin1Char('&'))) << text.toStdString();
        menuLetters += text.at(text.indexOf(QLatin1Char('&')) + 1).toLower();
    }
    for (pages::SettingsPage* page : {static_cast<pages::SettingsPage*>(m_dialog.generalPage()),
                                      static_cast<pages::SettingsPage*>(m_dialog.advancedPage()),
                                      static_cast<pages::SettingsPage*>(m_dialog.incomingPage())}) {
        activate(page);
        QString letters = menuLetters;
        QStringList texts;
        for (QLabel* label : page->findChildren<QLabel*>()) {
            if (label->buddy())
                texts << label->text();
        }
        for (QAbstractButton* button : page->findChildren<QAbstractButton*>())
            texts << button->text();
        for (const QString& text : texts) {
            SCOPED_TRACE(text.toStdString());
            const qsizetype mark = text.indexOf(QLatin1Char('&'));
            // A crowded page may run out of a text's letters; the first may not.
            if (mark < 0) {
                EXPECT_NE(page, m_dialog.generalPage());
                continue;
            }
            const QChar letter = text.at(mark + 1).toLower();
            EXPECT_FALSE(letters.contains(letter));
            letters += letter;
        }
    }
}

TEST_F(MainDialogTest, helpKeyShowsTheFocusedControlsText)
{
    QWidget* empty = m_dialog.buttonWindow(app::main_window::EmptyFieldsButton);
    empty->setFocus();
    QTest::keyClick(empty, Qt::Key_F1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return widgets::HelpPopup::current() != nullptr; }, 2000));
    EXPECT_EQ(widgets::HelpPopup::current()->text(), QStringLiteral("No help topic available."));
    widgets::HelpPopup::current()->close();

    QLineEdit* mailbox = edit(m_dialog.generalPage(), general::MailboxEdit);
    mailbox->setFocus();
    QTest::keyClick(mailbox, Qt::Key_F1);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return widgets::HelpPopup::current() &&
                   widgets::HelpPopup::current()->text() ==
                       QStringLiteral("Type the name of the mailbox.");
        },
        2000));
    QTest::keyClick(widgets::HelpPopup::current(), Qt::Key_Space);
    EXPECT_TRUE(QTest::qWaitFor([&] { return widgets::HelpPopup::current() == nullptr; }, 2000));

    // What's This? puts the window into context-help mode; the next click
    // on a control shows its text.
    run(app::menu::WhatsThisCommand);
    ASSERT_TRUE(QWhatsThis::inWhatsThisMode());
    QWidget* heading = widgets::findControl(&m_dialog, app::main_window::HeadingStatic);
    QTest::mouseClick(heading, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return widgets::HelpPopup::current() &&
                   widgets::HelpPopup::current()->text() ==
                       QStringLiteral("E-mail settings for Orvex 7741 and Orvex "
                                      "7742 phones");
        },
        2000));
    QTest::mouseClick(widgets::HelpPopup::current(), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return widgets::HelpPopup::current() == nullptr; }, 2000));
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());

    EXPECT_EQ(app::MainDialog::helpFor(app::main_window::SendButton), settings::strings::SendHelp);
    EXPECT_EQ(app::MainDialog::helpFor(app::main_window::RecipientsEdit),
              app::MainDialog::helpFor(app::main_window::ChooseRecipientsButton));
    EXPECT_EQ(app::MainDialog::helpFor(app::main_window::HeadingStatic),
              settings::strings::Heading);
}

} // namespace

namespace {

// The real question boxes, closed by their title bar or Escape instead of a
// button: the box answers OK, which the commands must take as Cancel or No.
TEST(QuestionBoxClosed, withoutAnAnswerCountsAsCancelOrNo)
{
    using widgets::MessageBoxWindow;
    struct Close
    {
        const char* name;
        void (*close)(MessageBoxWindow*);
    };
    const Close closes[] = {
        {"title bar",
         [](MessageBoxWindow* box) {
             box->close();
         }},
        {"Escape",
         [](MessageBoxWindow* box) {
             QTest::keyClick(box, Qt::Key_Escape);
         }},
    };
    enum class Command
    {
        New,
        Exit,
        ReplaceOnSaveAs
    };
    TempDir dir;
    const auto path = dir / "kept.txt";
    for (const Close& how : closes) {
        for (Command command : {Command::New, Command::Exit, Command::ReplaceOnSaveAs}) {
            SCOPED_TRACE(std::string(how.name) + " " + std::to_string(static_cast<int>(command)));
            std::ofstream(path, std::ios::trunc) << "Mailbox: old\r\n";
            widgets::FileDialogHook files;
            app::MainDialog window;
            window.show();
            QApplication::processEvents();
            window.openFile(qpath(path));
            typeInto(window.generalPage(), general::MailboxEdit, QStringLiteral("new"));

            int boxes = 0;
            whenModal<MessageBoxWindow>([&](MessageBoxWindow* box) {
                ++boxes;
                how.close(box);
            });
            switch (command) {
            case Command::New:
                window.onNew();
                break;
            case Command::Exit:
                window.onExit();
                break;
            case Command::ReplaceOnSaveAs:
                files.choose(qpath(path));
                window.onSaveAs();
                break;
            }
            EXPECT_EQ(boxes, 1);
            EXPECT_EQ(SkinMessageBox::openCount(), 0);
            EXPECT_TRUE(window.isVisible());
            EXPECT_EQ(window.record().mailbox, "new");
            EXPECT_TRUE(window.settingsChanged());
            EXPECT_EQ(window.currentFile(), qpath(path));
            EXPECT_EQ(readFile(path), "Mailbox: old\r\n");
        }
    }
}

} // namespace

// Built hidden while the splash is up, the window must come out as one built
// when it is shown: the sheet is measured while nothing is on screen.
TEST(PreparedMainDialog, isBuiltHiddenAndShowsAsOneBuiltOnShowing)
{
    app::MainDialog shown;
    shown.show();
    QApplication::processEvents();

    app::MainDialog prepared;
    prepared.prepare();
    EXPECT_TRUE(prepared.isInitialised());
    EXPECT_FALSE(prepared.isVisible());
    EXPECT_EQ(prepared.size(), shown.size());
    prepared.show();
    QApplication::processEvents();
    EXPECT_EQ(prepared.size(), shown.size());
    EXPECT_EQ(prepared.sheet()->geometry(), shown.sheet()->geometry());
    EXPECT_EQ(prepared.focusWidget(), prepared.recipientsEdit());
}
