// What assistive technology reads from the skinned toolkit: the tab strip's
// tabs, the bitmap buttons and a message box's text.

#include "MessageBoxWindow.h"
#include "SkinButton.h"
#include "SkinMessageBox.h"
#include "SkinTabBar.h"
#include "SkinTabPage.h"
#include "SkinTabWidget.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace mailvane::widgets {
namespace {

QAccessibleInterface* accessibleOf(QObject* object)
{
    QAccessibleInterface* found = QAccessible::queryAccessibleInterface(object);
    EXPECT_NE(found, nullptr);
    return found;
}

void press(QAccessibleInterface* control)
{
    QAccessibleActionInterface* actions = control->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
}

TEST(TabStripAccessibility, tabsArePageTabsNamedByTextWithTheSelectedOneMarked)
{
    QWidget window;
    SkinTabWidget sheet(&window);
    sheet.setGeometry(0, 0, 400, 300);
    for (const char* title : {" General ", " Advanced ", " Incoming "})
        sheet.addPage(new SkinTabPage, QString::fromLatin1(title));
    window.show();

    QAccessibleInterface* strip = accessibleOf(sheet.tabControl());
    ASSERT_EQ(strip->role(), QAccessible::PageTabList);
    ASSERT_EQ(strip->childCount(), 3);
    const auto selected = [&] {
        std::vector<bool> marks;
        for (int i = 0; i < strip->childCount(); ++i)
            marks.push_back(strip->child(i)->state().selected);
        return marks;
    };
    const char* names[] = {"General", "Advanced", "Incoming"};
    for (int i = 0; i < 3; ++i) {
        QAccessibleInterface* tab = strip->child(i);
        EXPECT_EQ(tab->role(), QAccessible::PageTab);
        EXPECT_EQ(tab->text(QAccessible::Name), QString::fromLatin1(names[i]));
        EXPECT_EQ(tab->parent(), strip);
        EXPECT_EQ(strip->indexOfChild(tab), i);
        EXPECT_TRUE(tab->rect().intersects(QRect(sheet.mapToGlobal(QPoint(0, 0)), sheet.size())));
    }
    EXPECT_EQ(selected(), (std::vector<bool>{true, false, false}));

    // Pressing a tab chooses it as a click does: the sheet shows its page.
    press(strip->child(2));
    EXPECT_EQ(sheet.activeIndex(), 2);
    EXPECT_EQ(selected(), (std::vector<bool>{false, false, true}));
    const QRect third = strip->child(2)->rect();
    EXPECT_EQ(strip->childAt(third.center().x(), third.center().y()), strip->child(2));

    // The focused strip names the current tab as its focused child.
    EXPECT_EQ(strip->focusChild(), nullptr);
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    sheet.tabControl()->setFocus();
    EXPECT_EQ(strip->focusChild(), strip->child(2));
    EXPECT_TRUE(strip->child(2)->state().focused);
}

TEST(TabStripFocusCue, framesTheCurrentTabWhileTheStripHasTheFocus)
{
    QWidget window;
    SkinTabWidget sheet(&window);
    sheet.setGeometry(0, 0, 400, 300);
    for (const char* title : {" General ", " Advanced "})
        sheet.addPage(new SkinTabPage, QString::fromLatin1(title));
    sheet.setActivePage(1);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    SkinTabBar* strip = sheet.tabControl();
    strip->clearFocus(); // the window gave it the focus as its first control
    const QImage unfocused = strip->render();
    strip->setFocus();
    ASSERT_TRUE(strip->hasFocus());
    const QImage focused = strip->render();

    // Only pixels of the current tab change, and some of them turn black.
    QRect changed;
    int black = 0;
    for (int y = 0; y < focused.height(); ++y) {
        for (int x = 0; x < focused.width(); ++x) {
            if (focused.pixel(x, y) != unfocused.pixel(x, y)) {
                changed |= QRect(x, y, 1, 1);
                black += qGray(focused.pixel(x, y)) == 0;
            }
        }
    }
    EXPECT_GT(black, 20);
    EXPECT_TRUE(strip->itemRect(1).translated(0, 3).contains(changed))
        << changed.x() << "," << changed.y();
    strip->clearFocus();
    EXPECT_EQ(strip->render(), unfocused);
}

TEST(SkinButtonAccessibility, isAPushButtonNamedByItsCaptionAndPressable)
{
    QWidget dialog;
    const char* captions[][2] = {{" Send ", "Send"}, {"  OK  ", "OK"}, {"To:", "To:"}};
    for (const auto& [caption, name] : captions) {
        SkinButton button;
        button.create({}, &dialog, QRect(0, 0, 100, 30), 1, QString::fromLatin1(caption));
        QAccessibleInterface* control = accessibleOf(button.window());
        EXPECT_EQ(control->role(), QAccessible::Button);
        EXPECT_EQ(control->text(QAccessible::Name), QString::fromLatin1(name));

        QSignalSpy commands(button.window(), &SkinButtonWidget::commandPosted);
        press(control);
        EXPECT_TRUE(commands.wait(2000)) << caption;
    }
    // A caption set later renames the button.
    SkinButton button;
    button.create({}, &dialog, QRect(0, 0, 100, 30), 2, QStringLiteral("Cancel"));
    button.setText(QStringLiteral(" Empty Fields "), true, 250);
    EXPECT_EQ(accessibleOf(button.window())->text(QAccessible::Name),
              QStringLiteral("Empty Fields"));
}

TEST(MessageBoxAccessibility, textIsTheDescriptionAndAStaticTextInside)
{
    QWidget owner;
    const QString text = QStringLiteral("The file does not exist.\nTry another one.");
    MessageBoxWindow box(&owner, text, QStringLiteral("File Not Found"),
                         SkinMessageBox::MbOk | SkinMessageBox::MbIconExclamation);
    QAccessibleInterface* window = accessibleOf(&box);
    EXPECT_EQ(window->text(QAccessible::Name), QStringLiteral("File Not Found"));
    EXPECT_EQ(window->text(QAccessible::Description), text);
    QStringList statics;
    QStringList buttons;
    for (int i = 0; i < window->childCount(); ++i) {
        QAccessibleInterface* child = window->child(i);
        if (child->role() == QAccessible::StaticText)
            statics.append(child->text(QAccessible::Name));
        if (child->role() == QAccessible::Button)
            buttons.append(child->text(QAccessible::Name));
    }
    EXPECT_EQ(statics, QStringList{text});
    EXPECT_EQ(buttons, QStringList{QStringLiteral("OK")});
}

} // namespace
} // namespace mailvane::widgets
