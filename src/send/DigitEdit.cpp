#include "DigitEdit.h"

#include "FieldEdit.h"

#include <QKeyEvent>

namespace mailvane::send {

DigitEdit::DigitEdit(QWidget* parent) : QLineEdit(parent)
{
    setValidator(new app::DigitValidator(this));
}

void DigitEdit::keyPressEvent(QKeyEvent* event)
{
    if (app::typesNonDigit(*event)) {
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
