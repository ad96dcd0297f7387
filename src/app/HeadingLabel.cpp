#include "HeadingLabel.h"

#include <QPainter>

namespace mailvane::app {

QSize HeadingLabel::sizeHint() const
{
    const QSize text = QLabel::sizeHint();
    return {text.width(), text.height() + LineOffset + LineWidth + 4};
}

void HeadingLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    QPainter painter(this);
    QPen pen(Qt::black, LineWidth, Qt::DotLine, Qt::FlatCap);
    painter.setPen(pen);
    const int y = height() - LineOffset;
    painter.drawLine(0, y, width(), y);
}

} // namespace mailvane::app
