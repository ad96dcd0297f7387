#pragma once

// A radio button that a click always turns on and never off, and that the
// program may turn off: the pages show "neither" for an absent choice, which
// Qt's auto-exclusive buttons cannot. The dialog keeps each pair exclusive.

#include "AccessibleNames.h"

#include <QRadioButton>

namespace mailvane::widgets {

class RadioButton : public QRadioButton
{
    Q_OBJECT

public:
    explicit RadioButton(QWidget* parent = nullptr) : QRadioButton(parent)
    {
        installAccessibility();
        setAutoExclusive(false);
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void nextCheckState() override { setChecked(true); }
};

} // namespace mailvane::widgets
