#pragma once

// The heading above the settings sheet: its text in the system font over a
// transparent background, and a dotted black line, 2 pixels wide, across the
// whole width 3 pixels above the bottom edge.

#include <QLabel>

namespace mailvane::app {

class HeadingLabel : public QLabel
{
    Q_OBJECT

public:
    static constexpr int LineWidth = 2;
    static constexpr int LineOffset = 3; // from the bottom edge

    using QLabel::QLabel;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace mailvane::app
