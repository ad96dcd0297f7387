#include "DialogDriver.h"

#include <QDialog>
#include <QMessageBox>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using namespace mailvane;

namespace {

// A dialog type that never comes up.
class NeverShown : public QDialog
{
    Q_OBJECT
};

TEST(DialogDriver, actsOnTheExpectedDialogsInOrderAndNotesTheOthers)
{
    QDialog first;
    first.setObjectName(QStringLiteral("first"));
    QStringList acted;
    test::DialogDriver driver;
    driver.expect<QMessageBox>([&](QWidget* box) {
        acted << QStringLiteral("box");
        static_cast<QDialog*>(box)->accept();
    });
    driver.expect<QDialog>([&](QWidget* dialog) {
        acted << dialog->objectName();
        static_cast<QDialog*>(dialog)->accept();
    });
    QMessageBox box;
    EXPECT_EQ(box.exec(), QDialog::Accepted);
    EXPECT_EQ(first.exec(), QDialog::Accepted);
    EXPECT_EQ(acted, (QStringList{QStringLiteral("box"), QStringLiteral("first")}));
    EXPECT_TRUE(driver.done());
}

TEST(DialogDriver, aDialogThatNeverComesFailsTheTestAndFreesTheOneInTheWay)
{
    QDialog inTheWay;
    EXPECT_NONFATAL_FAILURE(
        {
            test::DialogDriver driver(std::chrono::milliseconds(50));
            driver.expect<NeverShown>([](QWidget*) {});
            EXPECT_EQ(inTheWay.exec(), QDialog::Rejected);
            EXPECT_TRUE(driver.done());
        },
        "did not come up within 50 ms");
}

TEST(DialogDriver, whenModalActsOnceOnTheNextModalWindowOfItsType)
{
    int calls = 0;
    test::whenModal<QDialog>([&](QDialog* dialog) {
        ++calls;
        dialog->accept();
    });
    QDialog dialog;
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(calls, 1);
}

} // namespace

#include "DialogDriverTest.moc"
