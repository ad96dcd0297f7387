#include "PlainButtonArt.h"

#include <QPainter>

namespace mailvane::widgets {
namespace {

constexpr int CapWidth = 6;
constexpr int MiddleWidth = 4;
constexpr qreal Radius = 4.0;

// Never pure white: white is the shape's key colour.
QColor offWhite(QColor colour)
{
    return colour == QColor(Qt::white) ? QColor(0xFE, 0xFE, 0xFE) : colour;
}

} // namespace

ButtonPieces plainButtonPieces(const QPalette& palette, int state, int height)
{
    QColor face = palette.color(QPalette::Button);
    QColor border = palette.color(QPalette::Mid);
    switch (state) {
    case 1: // pressed
        face = face.darker(112);
        break;
    case 2: // hover
        face = face.lighter(104);
        border = palette.color(QPalette::Highlight);
        break;
    case 3: // disabled
        face = palette.color(QPalette::Disabled, QPalette::Button);
        border = palette.color(QPalette::Disabled, QPalette::Mid);
        break;
    default:
        break;
    }
    const int width = 2 * CapWidth + MiddleWidth;
    QImage whole(width, height, QImage::Format_RGB32);
    whole.fill(Qt::white);
    QPainter painter(&whole);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(offWhite(border), 1));
    painter.setBrush(offWhite(face));
    painter.drawRoundedRect(QRectF(0.5, 0.5, width - 1, height - 1), Radius, Radius);
    painter.end();
    return {whole.copy(0, 0, CapWidth, height), whole.copy(CapWidth, 0, MiddleWidth, height),
            whole.copy(CapWidth + MiddleWidth, 0, CapWidth, height)};
}

} // namespace mailvane::widgets
