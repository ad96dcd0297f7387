// The main window's two buttons run the workflow: a choice from the phone's
// contacts lands in the recipients field, and Send sends to it.

#include "ChooseRecipientsDialog.h"
#include "ControlNumbers.h"
#include "DialogDriver.h"
#include "MainDialog.h"
#include "MessageBoxHook.h"
#include "PhoneBackEnd.h"
#include "PinDialog.h"
#include "SendDialog.h"
#include "ServiceObjects.h"
#include "TempDir.h"

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

using namespace mailvane;

namespace {

// A main window's send on the simulated phone holding `contacts`, started from
// the token table's folder as a start from the build tree (such a window reads
// table.dat from the current folder first). The folder and the phone service are put back
// however the test ends.
class MainWindowSend : public ::testing::Test
{
protected:
    void startPhone(const std::string& contacts)
    {
        std::ofstream(phoneDir / "contacts.txt") << contacts;
        ASSERT_TRUE(phone::installPhoneBackEnd("sim:" + phoneDir.path().string()));
        QDir::setCurrent(QString::fromStdString(
            std::filesystem::path(MAILVANE_TOKEN_TABLE_PATH).parent_path().string()));
    }

    void TearDown() override
    {
        QDir::setCurrent(previousFolder);
        phone::revokePhoneService();
    }

    // Answers the PIN dialog with a good PIN when it comes.
    void expectPin() { driver.expect<send::PinDialog>(enterPin); }

    static void enterPin(QWidget* d)
    {
        QTest::keyClicks(d->findChild<QLineEdit*>(QStringLiteral("pinEdit")),
                         QStringLiteral("1234"));
        test::clickControl(d, send::PinDialog::OkButton);
    }

    test::TempDir phoneDir;
    const QString previousFolder = QDir::currentPath();
    widgets::MessageBoxHook boxes;
    test::DialogDriver driver;
};

TEST_F(MainWindowSend, choosingThenSendingGoesThroughThePhone)
{
    startPhone("Anna;+4512345678\n");
    {
        app::MainDialog window;
        window.show();
        window.openFile(QStringLiteral(MAILVANE_EXAMPLES_DIR "/imap4-gprs.txt"));
        QLineEdit* field = window.recipientsEdit();
        field->setText(QStringLiteral("111"));

        driver.expect<send::ChooseRecipientsDialog>([](QWidget* d) {
            auto* dialog = static_cast<send::ChooseRecipientsDialog*>(d);
            dialog->contactsList()->topLevelItem(0)->setSelected(true);
            dialog->addSelected();
            test::clickControl(d, send::ChooseRecipientsDialog::OkButton);
        });
        qobject_cast<QAbstractButton*>(
            window.buttonWindow(app::main_window::ChooseRecipientsButton))
            ->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return driver.done(); }, 5000));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return field->text() == QStringLiteral("111; +4512345678;"); }, 5000))
            << field->text().toStdString();

        expectPin();
        driver.expect<send::SendDialog>(
            [](QWidget* d) { test::clickControl(d, send::SendDialog::SendButton); });
        auto* send =
            qobject_cast<QAbstractButton*>(window.buttonWindow(app::main_window::SendButton));
        ASSERT_TRUE(send->isEnabled());
        send->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.requests().isEmpty(); }, 10000));
        EXPECT_EQ(boxes.requests().front().caption, QStringLiteral("Sending Successful"))
            << boxes.requests().front().text.toStdString();
        EXPECT_FALSE(window.record().to);
        EXPECT_EQ(field->text(), QStringLiteral("111; +4512345678;")); // sending leaves it
    }
    std::ifstream outbox(phoneDir / "outbox.txt");
    std::string all((std::istreambuf_iterator<char>(outbox)), {});
    EXPECT_NE(all.find("# to 111,"), std::string::npos);
    EXPECT_NE(all.find("# to +4512345678,"), std::string::npos);
}

// Every piece of a recipients text, trimmed, empty ones left out.
std::vector<std::string> pieces(const QString& text, QChar separator)
{
    std::vector<std::string> found;
    for (const QString& piece : text.split(separator, Qt::SkipEmptyParts)) {
        if (!piece.trimmed().isEmpty())
            found.push_back(piece.trimmed().toStdString());
    }
    std::sort(found.begin(), found.end());
    return found;
}

TEST_F(MainWindowSend, everyChosenContactArrivesAsDialledHoweverLongTheField)
{
    // More contacts than the 32,767 characters a line edit holds by default,
    // written as phones show them; one wrapped in direction marks.
    std::string contacts = "Dir Mark;\u202A+4599999999\u202C\n";
    std::vector<std::string> dialled{"+4599999999"};
    for (int i = 0; i < 3000; ++i) {
        const std::string digits = std::to_string(1000000 + i);
        contacts += "Person " + std::to_string(i) + ";+45 1" + digits.substr(1, 3) + "-" +
                    digits.substr(4) + "\n";
        dialled.push_back("+451" + digits.substr(1));
    }
    std::sort(dialled.begin(), dialled.end());
    startPhone(contacts);
    {
        app::MainDialog window;
        window.show();
        window.openFile(QStringLiteral(MAILVANE_EXAMPLES_DIR "/imap4-gprs.txt"));
        QLineEdit* field = window.recipientsEdit();

        QString shownName;
        driver.expect<send::ChooseRecipientsDialog>([&](QWidget* d) {
            auto* dialog = static_cast<send::ChooseRecipientsDialog*>(d);
            QTreeWidget* list = dialog->contactsList();
            // The last row is the first contact: names are shown whole.
            shownName = list->topLevelItem(list->topLevelItemCount() - 1)->text(0);
            list->setFocus();
            QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
            test::clickControl(d, send::ChooseRecipientsDialog::AddButton);
            test::clickControl(d, send::ChooseRecipientsDialog::OkButton);
        });
        qobject_cast<QAbstractButton*>(
            window.buttonWindow(app::main_window::ChooseRecipientsButton))
            ->click();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return driver.done() && !field->text().isEmpty(); }, 20000));
        EXPECT_EQ(shownName, QStringLiteral("Dir Mark"));
        EXPECT_GT(field->text().size(), 32767);
        EXPECT_EQ(pieces(field->text(), u';'), dialled);

        QString listed;
        expectPin();
        driver.expect<send::SendDialog>([&](QWidget* d) {
            listed = static_cast<send::SendDialog*>(d)->recipientsBox()->toPlainText();
            test::clickControl(d, send::SendDialog::CancelButton);
        });
        qobject_cast<QAbstractButton*>(window.buttonWindow(app::main_window::SendButton))->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return driver.done(); }, 20000));
        EXPECT_EQ(pieces(listed, u'\n'), dialled);
        EXPECT_TRUE(boxes.requests().isEmpty());
    }
}

} // namespace
