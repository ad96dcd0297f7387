#pragma once

#include <QLineEdit>

namespace mailvane::widgets {

// A line edit that takes only digits: typed, pasted or dropped (the rule of
// the settings pages' digit fields). Composed input is refused.
class DigitEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit DigitEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
};

} // namespace mailvane::widgets
