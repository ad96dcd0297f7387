#pragma once

#include <QLineEdit>

namespace mailvane::send {

// A line edit that takes only digits from the keyboard. Pasting is not
// filtered: the number-only rule governs typing alone.
class DigitEdit : public QLineEdit
{
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
};

} // namespace mailvane::send
