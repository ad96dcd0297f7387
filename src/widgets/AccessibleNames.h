#pragma once

// What assistive technology needs beyond what Qt gives our controls: a name
// for a control that stands beside a label rather than holding a text (kept
// by an editable combo box too, which Qt would name by its text), and the
// radio role for our radio buttons (Qt calls a radio button that is not
// auto-exclusive a check box).

#include <initializer_list>

class QLabel;
class QWidget;

namespace mailvane::widgets {

// Names `control` after `label`'s text, without its closing colon, and makes
// the label its buddy, so that the two are related for a screen reader too.
void nameAfterLabel(QWidget* control, QLabel* label);

// Describes the buttons of a choice with the label that asks it, so that a
// screen reader says "Yes" together with what the yes answers.
void describeAfterLabel(std::initializer_list<QWidget*> choices, const QLabel* label);

// Makes QAccessible present every widgets::RadioButton as a radio button and
// an editable combo box by the name it was given; once per process, later
// calls do nothing.
void installAccessibility();

} // namespace mailvane::widgets
