#pragma once

// Every control of our dialogs carries the number its dialog template gives
// it, so that help tables, tests and the dialogs' own code can name it.

#include <QWidget>

namespace mailvane::widgets {

inline constexpr const char* ControlIdProperty = "controlId";

void setControlId(QWidget* widget, int id);

// The control's number, or 0 for a widget without one.
int controlId(const QWidget* widget);

// The first descendant of `root` with number `id`, or null.
QWidget* findControl(const QWidget* root, int id);

template <typename T> T* findControl(const QWidget* root, int id)
{
    return qobject_cast<T*>(findControl(root, id));
}

// The nearest widget from `widget` up to (not including) `root` that has a
// number; null when there is none.
QWidget* numberedAncestor(QWidget* widget, const QWidget* root);

} // namespace mailvane::widgets
