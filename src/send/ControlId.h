#pragma once

// Control numbers on Qt widgets: every control of a dialog template carries
// its number, so that help tables and tests find controls the way the
// templates name them.

class QWidget;

namespace mailvane::send {

void setControlId(QWidget* control, int id);

// The control's number; 0 for a widget without one. A bitmap button answers
// with the number it was created with.
int controlId(const QWidget* control);

// The first descendant of `dialog` with number `id`, or null.
QWidget* findControl(const QWidget* dialog, int id);

} // namespace mailvane::send
