// The pure rules of the send dialogs and the help tables of all of them.

#include "ChooseRecipientsDialog.h"
#include "ControlIds.h"
#include "OpenSettings.h"
#include "PhoneLink.h"
#include "PinDialog.h"
#include "RecipientsField.h"
#include "SendDialog.h"
#include "UiText.h"
#include "WhatsThisHelp.h"

#include <QPlainTextEdit>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using namespace mailvane;

namespace {

TEST(RecipientsBoxText, aLinePerPieceWithLeadingBlanksRemoved)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("111; 222;"), QStringLiteral("111\n222\n")},
        {QStringLiteral(" 040 123"), QStringLiteral("040 123")},
        {QStringLiteral(";;111"), QStringLiteral("\n\n111")},
        {QStringLiteral("\t111 ;\t 222"), QStringLiteral("111 \n222")},
        {QString(), QString()},
    };
    for (const auto& [typed, shown] : cases)
        EXPECT_EQ(send::recipientsBoxText(typed), shown) << typed.toStdString();
}

TEST(SendDialogSettingsBox, showsTheWholeSummaryWithPasswordsAsAsterisks)
{
    settings::EmailSettings record;
    ASSERT_TRUE(settings::openSettingsFile(MAILVANE_EXAMPLES_DIR "/imap4-gprs.txt", record).ok());
    record.to = "+4512345678";
    QWidget main;
    send::SendDialog dialog(&main, QString(), record);
    EXPECT_EQ(dialog.settingsBox()->toPlainText(),
              QStringLiteral("\n"
                             "General: \n"
                             "Mailbox name: Work mail\n"
                             "E-mail address: ann.smith@example.com\n"
                             "Outgoing (SMTP) server: smtp.example.com\n"
                             "Incoming server type: IMAP4\n"
                             "Incoming server: imap.example.com\n"
                             "User name: ann.smith\n"
                             "Password: *********\n"
                             "\n"
                             "Advanced: \n"
                             "Use SMTP authorisation: Yes\n"
                             "SMTP user name: ann.smith\n"
                             "SMTP password: *********\n"
                             "Outgoing (SMTP) port: 25\n"
                             "Incoming (IMAP4) port: 143\n"
                             "Reply-to address: ann.smith@example.com\n"
                             "Retrieve e-mails: 30\n"
                             "Retrieval method: Latest unread\n"
                             "\n"
                             "IMAP4 Connection:\n"
                             "Proxies: No\n"
                             "Data bearer: GPRS\n"
                             "Access point: internet.example.net\n"
                             "Authentication type: Normal\n"
                             "User name: web\n"
                             "Password: ***\n"
                             "\n"
                             "SMTP Connection: \n"
                             "Proxies: No\n"
                             "Data bearer: GPRS\n"
                             "Access point: internet.example.net\n"
                             "Authentication type: Normal\n"
                             "User name: web\n"
                             "Password: ***\n"));
    EXPECT_EQ(dialog.recipientsBox()->toPlainText(), QStringLiteral("+4512345678"));
}

TEST(AppendChosenRecipients, separatesOnlyWhenTheFieldEndsInANumber)
{
    const QString chosen = QStringLiteral("222;");
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("111"), QStringLiteral("111; 222;")},
        {QStringLiteral("111;"), QStringLiteral("111;222;")},
        {QStringLiteral("111; "), QStringLiteral("111; 222;")},
        {QStringLiteral("111;\t "), QStringLiteral("111;\t 222;")},
        {QStringLiteral("111;33"), QStringLiteral("111;33; 222;")},
        {QString(), QStringLiteral("222;")},
        {QStringLiteral(" "), QStringLiteral(" ; 222;")},
    };
    for (const auto& [field, result] : cases)
        EXPECT_EQ(send::appendChosenRecipients(field, chosen), result) << field.toStdString();
    EXPECT_EQ(send::appendChosenRecipients(QStringLiteral("111"), QString()),
              QStringLiteral("111"));
}

TEST(DialogHelp, everyControlHasItsTextAndOthersHaveNone)
{
    settings::EmailSettings record;
    record.to = "111";
    phone::PhoneLink link(MAILVANE_TOKEN_TABLE_PATH);
    QWidget main;
    std::vector<std::unique_ptr<QWidget>> dialogs;
    dialogs.push_back(std::make_unique<send::PinDialog>(QString(), &main));
    dialogs.push_back(std::make_unique<send::SendDialog>(&main, QString(), record));
    dialogs.push_back(std::make_unique<send::ChooseRecipientsDialog>(&main, QString(), link));

    const QString none = QStringLiteral("No help topic available.");
    const QString closes = QStringLiteral("Closes the dialog without saving changes.");
    const QString saves = QStringLiteral("Closes the dialog and saves any changes you have made.");
    const QString pin = QStringLiteral(
        "Write your PIN code. The PIN code is used in encoding the e-mail settings message. This "
        "code is needed when the settings are stored in the mobile phone.");
    const QString recipients =
        QStringLiteral("Lists the recipients to whose phones the e-mail settings will be sent.");
    const QString settingsHelp = QStringLiteral(
        "Displays all the e-mail settings that will be sent to the recipients' phones.");
    struct Case
    {
        std::size_t dialog;
        int control;
        QString help;
    };
    const Case cases[] = {
        {0, 1002, pin},
        {0, 1028, pin},
        {0, 1, saves},
        {0, 2, closes},
        {0, 1083, none},
        {1, 1, QStringLiteral("Sends the e-mail settings to the selected phone(s).")},
        {1, 2, closes},
        {1, 1001, recipients},
        {1, 1053, recipients},
        {1, 1002, settingsHelp},
        {1, 1054, settingsHelp},
        {1, 1080, none},
        {2, 1024, QStringLiteral("Adds the selected contacts to the list of recipients.")},
        {2, 1026,
         QStringLiteral("Lists the names and mobile phone numbers that are found in the contacts "
                        "folder of the connected phone. Select a contact to add it to the list "
                        "of recipients.")},
        {2, 1027,
         QStringLiteral("Lists the names and numbers that you have selected as recipients.")},
        {2, 1, saves},
        {2, 2, closes},
        {2, 1052, none},
    };
    for (const auto& dialog : dialogs)
        dialog->show();
    for (const Case& c : cases) {
        QWidget* dialog = dialogs[c.dialog].get();
        auto* help = dialog->findChild<widgets::WhatsThisHelp*>();
        ASSERT_NE(help, nullptr);
        int shownFor = -1;
        QString shown;
        const auto connection = QObject::connect(help, &widgets::WhatsThisHelp::helpShown, dialog,
                                                 [&](int control, settings::StringId text) {
                                                     shownFor = control;
                                                     shown = widgets::uiText(text);
                                                 });
        QWidget* control = widgets::findControl(dialog, c.control);
        ASSERT_NE(control, nullptr) << c.dialog << " " << c.control;
        widgets::WhatsThisHelp::requestHelp(control);
        QObject::disconnect(connection);
        EXPECT_EQ(shownFor, c.control) << c.dialog << " " << c.control;
        EXPECT_EQ(shown, c.help) << c.dialog << " " << c.control;
    }
}

} // namespace
