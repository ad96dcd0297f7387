#include "PasswordEdit.h"

#include "UiText.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

namespace mailvane::widgets {

namespace strings = settings::strings;

PasswordEdit::PasswordEdit(QWidget* parent) : QLineEdit(parent)
{
    setEchoMode(QLineEdit::Password);
    // Text dropped on the field would be a paste by another name.
    setAcceptDrops(false);
}

bool PasswordEdit::isPasteKey(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (event->key() == Qt::Key_V && (modifiers & Qt::ControlModifier))
        return true;
    if (event->key() == Qt::Key_Insert && (modifiers & Qt::ShiftModifier))
        return true;
    return event->matches(QKeySequence::Paste);
}

std::unique_ptr<QMenu> PasswordEdit::createContextMenu()
{
    if (!isEnabled())
        return nullptr;
    auto menu = std::make_unique<QMenu>(this);
    const auto add = [&](settings::StringId text, int command, bool available) {
        QAction* action = menu->addAction(uiText(text));
        action->setData(command);
        action->setEnabled(available);
        connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    };
    add(strings::UndoItem, UndoCommand, isUndoAvailable());
    menu->addSeparator();
    add(strings::CutItem, CutCommand, false);
    add(strings::CopyItem, CopyCommand, false);
    add(strings::PasteItem, PasteCommand, false);
    add(strings::DeleteItem, DeleteCommand, false);
    menu->addSeparator();
    const qsizetype length = text().size();
    const bool allSelected = hasSelectedText() && selectedText().size() == length;
    add(strings::SelectAllItem, SelectAllCommand, length != 0 && !allSelected);
    return menu;
}

bool PasswordEdit::runCommand(int command)
{
    switch (command & 0xFFFF) {
    case UndoCommand:
        undo();
        return true;
    case CutCommand:
        return true; // see isCutKey: the masked text stays where it is
    case CopyCommand:
        copy();
        return true;
    case DeleteCommand:
        del();
        return true;
    case PasteCommand:
        return true; // refused, yet handled: nothing else may paste instead
    case SelectAllCommand:
        selectAll();
        return true;
    default:
        return false;
    }
}

void PasswordEdit::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    std::unique_ptr<QMenu> menu = createContextMenu();
    if (!menu)
        return;
    setFocus(Qt::PopupFocusReason);
    menu->exec(event->globalPos());
}

bool PasswordEdit::isCutKey(const QKeyEvent* event)
{
    return event->matches(QKeySequence::Cut);
}

void PasswordEdit::keyPressEvent(QKeyEvent* event)
{
    if (isPasteKey(event) || isCutKey(event)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void PasswordEdit::mousePressEvent(QMouseEvent* event)
{
    // A middle click pastes the X11 selection on release; keep it from
    // moving the cursor either.
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void PasswordEdit::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void PasswordEdit::dragEnterEvent(QDragEnterEvent* event)
{
    event->ignore();
}

void PasswordEdit::dragMoveEvent(QDragMoveEvent* event)
{
    event->ignore();
}

void PasswordEdit::dropEvent(QDropEvent* event)
{
    event->ignore();
}

} // namespace mailvane::widgets
