#include "PinDialog.h"

#include "DialogDriver.h"
#include "MessageBoxHook.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace mailvane;
using send::PinDialog;

namespace {

class PinDialogTest : public ::testing::Test
{
protected:
    PinDialogTest() : dialog(QString(), nullptr) { dialog.show(); }

    QLineEdit* edit() const { return dialog.pinEdit(); }
    // Clicks OK and waits for its command to be handled.
    void clickOk()
    {
        test::clickControl(&dialog, PinDialog::OkButton);
        QTest::qWait(0);
        QCoreApplication::processEvents();
    }

    widgets::MessageBoxHook boxes;
    PinDialog dialog;
};

TEST_F(PinDialogTest, typingKeepsDigitsOnlyAndAtMostTen)
{
    const std::pair<const char*, const char*> cases[] = {
        {"12345678901", "1234567890"}, // the eleventh digit is cut
        {"12a3 b-4", "1234"},          // anything but a digit is not typed
        {"0", "0"},
    };
    for (const auto& [typed, kept] : cases) {
        edit()->clear();
        QTest::keyClicks(edit(), QString::fromLatin1(typed));
        EXPECT_EQ(edit()->text(), QString::fromLatin1(kept)) << typed;
    }
}

TEST_F(PinDialogTest, pastedDigitsAreCutToTenAndOtherTextIsRefused)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("abc123456789xyz"));
    QTest::keyClick(edit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit()->text(), QString());
    QGuiApplication::clipboard()->setText(QStringLiteral("123456789012"));
    QTest::keyClick(edit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit()->text(), QStringLiteral("1234567890"));
    clickOk();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 2000));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.pin(), QStringLiteral("1234567890"));
}

TEST_F(PinDialogTest, anEmptyPinIsRefusedAndTheDialogStaysOpenUntilOneIsGiven)
{
    clickOk();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.requests().isEmpty(); }, 2000));
    const widgets::MessageBoxRequest& box = boxes.requests().front();
    EXPECT_EQ(box.caption, QStringLiteral("Invalid PIN Code"));
    EXPECT_EQ(box.text, QStringLiteral("The PIN code is invalid."));
    EXPECT_EQ(box.flags, 0x30u);
    EXPECT_TRUE(dialog.isVisible());

    QTest::keyClicks(edit(), QStringLiteral("0"));
    clickOk();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 2000));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.pin(), QStringLiteral("0"));
    EXPECT_EQ(boxes.requests().size(), 1);
}

} // namespace
