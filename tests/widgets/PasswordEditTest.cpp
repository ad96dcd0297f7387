#include "PasswordEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

using mailvane::widgets::PasswordEdit;

namespace {

// The menu's items as (command, enabled), separators left out.
std::vector<std::pair<int, bool>> menuStates(PasswordEdit& edit)
{
    std::vector<std::pair<int, bool>> states;
    const std::unique_ptr<QMenu> menu = edit.createContextMenu();
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator())
            states.emplace_back(action->data().toInt(), action->isEnabled());
    }
    return states;
}

class PasswordEditTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_edit.show();
        m_edit.setFocus();
        QApplication::clipboard()->setText(QStringLiteral("pasted"));
    }

    PasswordEdit m_edit;
};

TEST_F(PasswordEditTest, menuOffersOnlyUndoAndSelectAllAsTheTextAllows)
{
    using E = PasswordEdit;
    const std::vector<std::pair<int, bool>> empty = {
        {E::UndoCommand, false},  {E::CutCommand, false},    {E::CopyCommand, false},
        {E::PasteCommand, false}, {E::DeleteCommand, false}, {E::SelectAllCommand, false}};
    EXPECT_EQ(menuStates(m_edit), empty);

    QTest::keyClicks(&m_edit, QStringLiteral("abc"));
    auto typed = menuStates(m_edit);
    EXPECT_EQ(typed.front(), std::make_pair(int(E::UndoCommand), true));
    EXPECT_EQ(typed.back(), std::make_pair(int(E::SelectAllCommand), true));
    for (std::size_t i = 1; i + 1 < typed.size(); ++i)
        EXPECT_FALSE(typed[i].second) << "command " << typed[i].first;

    // Choosing Select All makes it unavailable: the selection spans the text.
    EXPECT_TRUE(m_edit.runCommand(E::SelectAllCommand));
    EXPECT_EQ(m_edit.selectedText().size(), 3);
    EXPECT_FALSE(menuStates(m_edit).back().second);

    EXPECT_TRUE(m_edit.runCommand(E::UndoCommand));
    EXPECT_TRUE(m_edit.text().isEmpty()); // the typing is undone as one step
}

TEST_F(PasswordEditTest, disabledEditShowsNoMenu)
{
    m_edit.setEnabled(false);
    EXPECT_EQ(m_edit.createContextMenu(), nullptr);
}

TEST_F(PasswordEditTest, everyPasteRouteLeavesTheTextAlone)
{
    QTest::keyClicks(&m_edit, QStringLiteral("secret"));
    QTest::keyClick(&m_edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&m_edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_TRUE(m_edit.runCommand(PasswordEdit::PasteCommand)); // refused, yet handled
    EXPECT_FALSE(m_edit.runCommand(12345));
    QApplication::clipboard()->setText(QStringLiteral("selection"), QClipboard::Selection);
    QTest::mouseClick(&m_edit, Qt::MiddleButton);

    QMimeData data;
    data.setText(QStringLiteral("dropped"));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&m_edit, &enter);
    EXPECT_FALSE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&m_edit, &drop);

    EXPECT_EQ(m_edit.text(), QStringLiteral("secret"));
    EXPECT_FALSE(m_edit.acceptDrops());

    // The letter v without Ctrl is typed as usual.
    QTest::keyClick(&m_edit, Qt::Key_V);
    EXPECT_EQ(m_edit.text(), QStringLiteral("secretv"));
    EXPECT_EQ(m_edit.echoMode(), QLineEdit::Password);
}

TEST_F(PasswordEditTest, copyAndCutLeaveTheClipboardAndTheTextAlone)
{
    QTest::keyClicks(&m_edit, QStringLiteral("secret"));
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_C, Qt::ControlModifier},
        {Qt::Key_Insert, Qt::ControlModifier},
        {Qt::Key_X, Qt::ControlModifier},
        {Qt::Key_Delete, Qt::ShiftModifier},
    };
    for (const auto& [key, modifiers] : keys) {
        m_edit.selectAll();
        QTest::keyClick(&m_edit, key, modifiers);
        EXPECT_EQ(m_edit.text(), QStringLiteral("secret")) << int(key);
        EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("pasted")) << int(key);
    }
    m_edit.selectAll();
    EXPECT_TRUE(m_edit.runCommand(PasswordEdit::CutCommand));
    EXPECT_TRUE(m_edit.runCommand(PasswordEdit::CopyCommand));
    EXPECT_EQ(m_edit.text(), QStringLiteral("secret"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("pasted"));
}

} // namespace
