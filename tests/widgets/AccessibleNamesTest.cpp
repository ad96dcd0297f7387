#include "AccessibleNames.h"

#include "Mnemonics.h"
#include "RadioButton.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace mailvane::widgets {
namespace {

// A letter per control: a word's first letter when free, else any free one,
// else none; the label's plain text and name stay as they were.
TEST(Mnemonics, eachTextTakesTheFirstFreeLetterPreferringAWordsFirst)
{
    const struct
    {
        const char* taken;
        const char* text;
        const char* marked;
        const char* takenAfter;
    } cases[] = {
        {"", "Save", "&Save", "s"},
        {"s", "Save As", "Save &As", "sa"},
        {"fh", "Help", "H&elp", "fhe"},
        {"", "Incoming (POP3) port:", "&Incoming (POP3) port:", "i"},
        {"i", "Incoming (POP3) port:", "Incoming (&POP3) port:", "ip"},
        {"abc", "a-b c", "a-b c", "abc"},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        QString taken = QString::fromLatin1(c.taken);
        const QString marked = withMnemonic(QString::fromLatin1(c.text), taken);
        EXPECT_EQ(marked, QString::fromLatin1(c.marked));
        EXPECT_EQ(taken, QString::fromLatin1(c.takenAfter));
        EXPECT_EQ(withoutMnemonic(marked), QString::fromLatin1(c.text));
    }
    EXPECT_EQ(withoutMnemonic(QStringLiteral("R&&D &Unit")), QStringLiteral("R&D Unit"));

    // A label keeps naming its control by its plain text.
    QWidget page;
    auto* label = new QLabel(QStringLiteral("Mailbox name:"), &page);
    auto* edit = new QLineEdit(&page);
    nameAfterLabel(edit, label);
    assignMnemonics(&page, QStringLiteral("m"));
    EXPECT_EQ(label->text(), QStringLiteral("Mailbox &name:"));
    nameAfterLabel(edit, label);
    EXPECT_EQ(edit->accessibleName(), QStringLiteral("Mailbox name"));
}

TEST(RadioButtonAccessibility, isARadioButtonNamedByItsOwnTextWithItsCheckedState)
{
    QGroupBox group(QStringLiteral("GPRS"));
    auto* radio = new RadioButton(&group);
    radio->setText(QStringLiteral("&Normal"));
    QAccessibleInterface* control = QAccessible::queryAccessibleInterface(radio);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->role(), QAccessible::RadioButton);
    EXPECT_EQ(control->text(QAccessible::Name), QStringLiteral("Normal"));
    EXPECT_TRUE(control->state().checkable);
    EXPECT_FALSE(control->state().checked);

    control->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(radio->isChecked());
    EXPECT_TRUE(control->state().checked);
}

TEST(LabelledControls, takeTheLabelWithoutItsColonAsNameOrDescription)
{
    QWidget page;
    auto* label = new QLabel(QStringLiteral("Access point:"), &page);
    auto* edit = new QLineEdit(&page);
    nameAfterLabel(edit, label);
    EXPECT_EQ(edit->accessibleName(), QStringLiteral("Access point"));
    EXPECT_EQ(label->buddy(), edit);

    auto* question = new QLabel(QStringLiteral("Secure login:"), &page);
    auto* yes = new RadioButton(&page);
    auto* no = new RadioButton(&page);
    describeAfterLabel({yes, no}, question);
    EXPECT_EQ(yes->accessibleDescription(), QStringLiteral("Secure login"));
    EXPECT_EQ(no->accessibleDescription(), QStringLiteral("Secure login"));
}

} // namespace
} // namespace mailvane::widgets
