#pragma once

// A masked edit for passwords: a password can be typed, selected and undone,
// but not pasted in by any route (keys, context menu, middle-click selection
// paste, drag and drop), and neither copied nor cut out: the context menu
// offers no way to, copying puts nothing on the clipboard, and cutting leaves
// the text alone instead of deleting what it cannot copy.

#include <QLineEdit>
#include <memory>

class QMenu;

namespace mailvane::widgets {

class PasswordEdit : public QLineEdit
{
    Q_OBJECT

public:
    // Command numbers of the context menu; each equals the number of the edit
    // message that carries it out where there is one.
    enum Command : int
    {
        UndoCommand = 199,
        CutCommand = 768,
        CopyCommand = 769,
        PasteCommand = 770,
        DeleteCommand = 771,
        SelectAllCommand = 0x7400,
    };

    explicit PasswordEdit(QWidget* parent = nullptr);

    // The context menu as it would show now; each action's data is its
    // command number. Null for a disabled edit, which shows no menu.
    std::unique_ptr<QMenu> createContextMenu();

    // Carries out a menu command; false for a number the edit does not know.
    // Paste is refused but counts as handled.
    bool runCommand(int command);

    // Whether `event` is one of the keys that would paste.
    static bool isPasteKey(const QKeyEvent* event);
    // Whether `event` is one of the keys that would cut. A masked edit never
    // puts its text on the clipboard, so a cut would only delete the
    // password; it is swallowed instead, as the menu's Cut is refused.
    static bool isCutKey(const QKeyEvent* event);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

} // namespace mailvane::widgets
