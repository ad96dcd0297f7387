#include "SkinVerticalBar.h"

#include <QPainter>

namespace mailvane::widgets {

SkinVerticalBar::SkinVerticalBar(int controlId, QWidget* parent) : SkinBar(controlId, parent) {}

void SkinVerticalBar::paintEvent(QPaintEvent*)
{
    followScreenScale();
    QPainter painter(this);
    const int barHeight = height();
    const QSize middle = pieceSize(Middle);
    const QSize bottom = pieceSize(Bottom);

    int y = 0;
    if (pieceNumber(Top) != 0) {
        draw(painter, Top, 0, 0);
        y = pieceSize(Top).height();
    }
    // Thin slices leave no gap whatever the height; the bottom piece and one
    // whole middle piece above it then cover the last, partial slice.
    for (; y < barHeight; y += SliceHeight)
        draw(painter, Middle, 0, y, middle.width(), SliceHeight);
    draw(painter, Bottom, 0, barHeight - bottom.height());
    draw(painter, Middle, 0, barHeight - bottom.height() - middle.height());
}

} // namespace mailvane::widgets
