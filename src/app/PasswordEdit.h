#pragma once

// A masked edit for passwords: a password can be typed, selected and undone,
// but not pasted in by any route (keys, context menu, middle-click selection
// paste, drag and drop), and its context menu offers no way to copy or cut it.

#include <QLineEdit>
#include <memory>

class QMenu;

namespace mailvane::app {

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

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

} // namespace mailvane::app
