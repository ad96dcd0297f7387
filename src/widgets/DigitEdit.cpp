#include "DigitEdit.h"

#include "FieldEdit.h"

#include <QKeyEvent>

namespace mailvane::widgets {

DigitEdit::DigitEdit(QWidget* parent) : QLineEdit(parent)
{
    setValidator(new widgets::DigitValidator(this));
}

void DigitEdit::keyPressEvent(QKeyEvent* event)
{
    if (widgets::typesNonDigit(*event)) {
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

} // namespace mailvane::widgets
