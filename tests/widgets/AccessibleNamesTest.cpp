#include "AccessibleNames.h"

#include "RadioButton.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace mailvane::widgets {
namespace {

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
