// Choosing recipients from the simulated phone's contacts.

#include "ChooseRecipientsDialog.h"

#include "ControlIds.h"
#include "DialogDriver.h"
#include "PhoneBackEnd.h"
#include "PhoneLink.h"
#include "SendWorkflow.h"
#include "ServiceObjects.h"
#include "TempDir.h"
#include "WaitDialog.h"

#include <QLabel>
#include <QTest>
#include <QTreeWidget>
#include <fstream>
#include <gtest/gtest.h>

using namespace mailvane;
using send::ChooseRecipientsDialog;

namespace {

const std::filesystem::path TokenTable = MAILVANE_TOKEN_TABLE_PATH;

// "R Q P" as a list of three.
QStringList words(const char* spaced)
{
    return QString::fromUtf8(spaced).split(u' ', Qt::SkipEmptyParts);
}

QStringList column(const QTreeWidget* list, int column)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts << list->topLevelItem(row)->text(column);
    return texts;
}

void selectRows(QTreeWidget* list, const QStringList& names)
{
    list->clearSelection();
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list->topLevelItem(row);
        item->setSelected(names.contains(item->text(ChooseRecipientsDialog::NameColumn)));
    }
}

class ChooseRecipientsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        main.setGeometry(100, 80, 700, 500);
        main.show();
    }
    void TearDown() override { phone::revokePhoneService(); }

    // A phone with these contacts.txt lines (and these phone.conf options).
    void usePhone(const std::string& contacts, const std::string& options = {})
    {
        std::ofstream(phoneDir / "contacts.txt") << contacts;
        std::ofstream(phoneDir / "phone.conf") << options;
        ASSERT_TRUE(phone::installPhoneBackEnd("sim:" + phoneDir.path().string()));
        link = std::make_unique<phone::PhoneLink>(TokenTable);
        dialog = std::make_unique<ChooseRecipientsDialog>(&main, QString(), *link);
        dialog->loadContacts();
        dialog->show();
    }

    void click(int control)
    {
        test::clickControl(dialog.get(), control);
        QTest::qWait(0);
        QCoreApplication::processEvents();
    }

    test::TempDir phoneDir;
    QWidget main;
    std::unique_ptr<phone::PhoneLink> link;
    std::unique_ptr<ChooseRecipientsDialog> dialog;
};

TEST_F(ChooseRecipientsTest, listsContactsReversedAndMovesRowsWithoutCopying)
{
    usePhone("P;111\nQ;222\nR;333\n");
    QTreeWidget* contacts = dialog->contactsList();
    QTreeWidget* recipients = dialog->recipientsList();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Choose Recipients"));
    EXPECT_EQ(column(contacts, 0), words("R Q P"));
    EXPECT_EQ(column(contacts, 1), words("333 222 111"));
    EXPECT_TRUE(contacts->isEnabled());

    // Q stands above P: Q goes to the top first, then P above it.
    selectRows(contacts, words("P Q"));
    click(ChooseRecipientsDialog::AddButton);
    EXPECT_EQ(column(recipients, 0), words("P Q"));
    EXPECT_EQ(column(contacts, 0), words("R"));

    // Delete sends every selected recipient back to the top of the contacts.
    selectRows(recipients, words("P Q"));
    recipients->setFocus();
    QTest::keyClick(recipients, Qt::Key_Delete);
    EXPECT_EQ(column(recipients, 0), QStringList());
    EXPECT_EQ(column(contacts, 0), words("Q P R"));
    // Other keys move nothing.
    selectRows(contacts, words("R"));
    click(ChooseRecipientsDialog::AddButton);
    selectRows(recipients, words("R"));
    QTest::keyClick(recipients, Qt::Key_Backspace);
    EXPECT_EQ(column(recipients, 0), words("R"));

    selectRows(contacts, words("P Q"));
    click(ChooseRecipientsDialog::AddButton);
    EXPECT_EQ(column(recipients, 0), words("P Q R"));
    click(ChooseRecipientsDialog::OkButton);
    EXPECT_EQ(dialog->result(), QStringLiteral("111;222;333;"));
    EXPECT_EQ(dialog->QDialog::result(), QDialog::Accepted);
}

TEST_F(ChooseRecipientsTest, okWithoutRecipientsAndCancelGiveNothing)
{
    usePhone("P;111\n");
    click(ChooseRecipientsDialog::OkButton);
    EXPECT_EQ(dialog->result(), QString());
    EXPECT_EQ(dialog->QDialog::result(), QDialog::Accepted);

    dialog->loadContacts();
    dialog->show();
    selectRows(dialog->contactsList(), words("P"));
    click(ChooseRecipientsDialog::AddButton);
    ASSERT_EQ(dialog->recipientsList()->topLevelItemCount(), 1);
    click(ChooseRecipientsDialog::CancelButton);
    EXPECT_EQ(dialog->result(), QString());
    EXPECT_EQ(dialog->QDialog::result(), QDialog::Rejected);
}

TEST_F(ChooseRecipientsTest, noContactsShowsOneDisabledRow)
{
    for (const auto& [contacts, options] :
         {std::pair<std::string, std::string>{"", ""}, {"P;111\n", "unplugged = yes\n"}}) {
        SCOPED_TRACE(options);
        usePhone(contacts, options);
        QTreeWidget* list = dialog->contactsList();
        EXPECT_EQ(column(list, 0), QStringList{QStringLiteral("No Contacts Found")});
        EXPECT_FALSE(list->isEnabled());
        list->topLevelItem(0)->setSelected(true);
        click(ChooseRecipientsDialog::AddButton);
        EXPECT_EQ(dialog->recipientsList()->topLevelItemCount(), 0);
        click(ChooseRecipientsDialog::OkButton);
        EXPECT_EQ(dialog->result(), QString());
    }
}

// A list short of a store says below itself which store is missing and why.
TEST_F(ChooseRecipientsTest, aStoreThatCannotBeListedIsNamedBelowTheList)
{
    std::string crowded;
    for (int i = 0; i <= 10000; ++i) // one past the most a store may list
        crowded += "Name " + std::to_string(i) + ";" + std::to_string(i) + "\n";
    struct Case
    {
        std::string contacts;
        std::string options;
        const char* notice; // nothing shown when empty
    };
    const Case cases[] = {
        {"P;111\n", "", ""},
        {crowded, "",
         "Incomplete list: the phone's memory holds more than 10000 contacts, more than can be "
         "listed."},
        {"P;111\n", "unplugged = yes\n",
         "Incomplete list: the phone's memory could not be read (unplugged, as phone.conf "
         "says).\nIncomplete list: the SIM could not be read (unplugged, as phone.conf says)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.notice);
        usePhone(c.contacts, c.options);
        const auto* notice = dialog->findChild<QLabel*>(QStringLiteral("contactsNotice"));
        ASSERT_TRUE(notice);
        EXPECT_EQ(notice->isVisible(), *c.notice != '\0');
        EXPECT_EQ(notice->text(), QString::fromUtf8(c.notice));
    }
}

TEST_F(ChooseRecipientsTest, namesAndNumbersAreShownWholeAsThePhoneGivesThem)
{
    const QString longName = QString(300, u'n') + QStringLiteral("end");
    usePhone("Zoë Åström 東京;+4512345678\n" + longName.toStdString() + ";+4587654321\n");
    EXPECT_EQ(column(dialog->contactsList(), 0),
              (QStringList{longName, QStringLiteral("Zoë Åström 東京")}));
    selectRows(dialog->contactsList(), {QStringLiteral("Zoë Åström 東京")});
    click(ChooseRecipientsDialog::AddButton);
    click(ChooseRecipientsDialog::OkButton);
    EXPECT_EQ(dialog->result(), QStringLiteral("+4512345678;")); // names are never returned
}

TEST_F(ChooseRecipientsTest, theWorkflowAppendsTheChoiceToTheField)
{
    usePhone("P;111\n");
    settings::EmailSettings record;
    send::SendWorkflow workflow(&main, QString(), record, *link);
    test::DialogDriver driver;
    const auto choose = [&](bool ok) {
        driver.expect<ChooseRecipientsDialog>([ok](QWidget* d) {
            auto* dialog = static_cast<ChooseRecipientsDialog*>(d);
            selectRows(dialog->contactsList(), words("P"));
            test::clickControl(d, ChooseRecipientsDialog::AddButton);
            QTest::qWait(0);
            test::clickControl(d, ok ? ChooseRecipientsDialog::OkButton
                                     : ChooseRecipientsDialog::CancelButton);
        });
    };
    choose(true);
    EXPECT_EQ(workflow.chooseRecipients(QStringLiteral("040 1")), QStringLiteral("040 1; 111;"));
    choose(false);
    EXPECT_EQ(workflow.chooseRecipients(QStringLiteral("040 1")), std::nullopt);
    EXPECT_TRUE(driver.done());
    EXPECT_FALSE(record.to);
}

TEST(WaitDialog, isCentredOverTheMainWindowAndCannotBeEndedByTheOperator)
{
    QWidget main;
    main.setGeometry(100, 80, 701, 501);
    main.show();
    QDialog chooser(&main);
    chooser.setGeometry(20, 30, 300, 200);
    chooser.show();
    send::WaitDialog wait(QString(), &chooser);
    wait.show();
    const QRect over = main.frameGeometry();
    const QRect own = wait.frameGeometry();
    EXPECT_EQ(own.left(), (over.left() + over.left() + over.width()) / 2 - own.width() / 2);
    EXPECT_EQ(own.top(), (over.top() + over.top() + over.height()) / 2 - own.height() / 2);
    EXPECT_EQ(wait.windowModality(), Qt::ApplicationModal);
    // The operator cannot end the wait.
    QTest::keyClick(&wait, Qt::Key_Escape);
    wait.close();
    EXPECT_TRUE(wait.isVisible());
    EXPECT_TRUE(
        widgets::findControl(&wait, send::WaitDialog::Message)->property("text").toString() ==
        QStringLiteral("Connecting to phone.\nThis may take a while."));
}

} // namespace
