#include "DigitEdit.h"

#include <QKeyEvent>

namespace mailvane::send {
namespace {

bool isTypedNonDigit(const QKeyEvent& event)
{
    // Shortcuts (paste, select all) and editing keys carry no printable text
    // or come with Ctrl; only characters typed as text are checked.
    if (event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return false;
    const QString typed = event.text();
    if (typed.isEmpty())
        return false;
    for (const QChar c : typed) {
        if (c.isPrint() && !(c >= u'0' && c <= u'9'))
            return true;
    }
    return false;
}

} // namespace

void DigitEdit::keyPressEvent(QKeyEvent* event)
{
    if (isTypedNonDigit(*event)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DigitEdit::inputMethodEvent(QInputMethodEvent* event)
{
    // Composed text is typing too.
    event->accept();
}

} // namespace mailvane::send
