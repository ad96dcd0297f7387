#pragma once

// The window of a bitmap button. It is a QPushButton so that a QDialog treats
// it as a push button: Enter in the dialog clicks the default (or focused)
// button, which arrives here as a command like any other activation. Mouse,
// key, focus and paint handling follow the button's own rules rather than
// QPushButton's.

#include "SkinButtonState.h"

#include <QPushButton>

namespace mailvane::widgets {

class SkinButtonWidget : public QPushButton
{
    Q_OBJECT

public:
    SkinButtonWidget(SkinButtonState& impl, QWidget* parent);

    int controlNumber() const { return m_impl.controlNumber; }
    ButtonState state() const { return m_impl.state; }

    // Computes the shape for the current client area, makes it the hit region
    // and the window's mask.
    void reshape();
    // As reshape, first resizing the window to the shape's outer edges.
    void applyShape();
    // Makes the font again from the message font and the middle span's height.
    void remakeFont();

Q_SIGNALS:
    // The button was activated: `source` is the button for a mouse click and
    // null for the keyboard. Emitted from the event loop, after the event
    // that caused it, as a posted command message would arrive.
    void commandPosted(int controlNumber, QWidget* source);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void onMouseLeave();
    void postCommand(QWidget* source);
    void setState(ButtonState state);

    SkinButtonState& m_impl;
};

} // namespace mailvane::widgets
