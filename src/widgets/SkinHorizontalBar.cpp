#include "SkinHorizontalBar.h"

#include <QPainter>

namespace mailvane::widgets {

SkinHorizontalBar::SkinHorizontalBar(int controlId, QWidget* parent) : SkinBar(controlId, parent) {}

void SkinHorizontalBar::paintEvent(QPaintEvent*)
{
    followScreenScale();
    QPainter painter(this);
    const int barWidth = width();
    const int middleWidth = pieceSize(Middle).width();

    draw(painter, Left, 0, 0);
    // Without a middle piece there is nothing to repeat (and no step to take).
    if (middleWidth > 0) {
        for (int x = pieceSize(Left).width(); x < barWidth; x += middleWidth)
            draw(painter, Middle, x, 0);
    }
    draw(painter, Right, barWidth - pieceSize(Right).width(), 0);
}

} // namespace mailvane::widgets
