// The push buttons: for each state a left cap, a middle that the button
// stretches, and a right cap. The caps are rounded with soft edges; outside
// the button they are white, the key colour of the button's shape.

#include "SkinCatalogue.h"
#include "SkinStyle.h"

#include <QLinearGradient>
#include <QPainter>

namespace mailvane::skingen {
namespace {

using namespace measure;

struct ButtonState
{
    int left;
    int middle;
    int right;
    QColor top;
    QColor bottom;
    QColor border;
};

// No colour inside a button may come within 2 of white in every channel, or
// the shape test (white with a tolerance of 1) would cut it away.
const ButtonState States[] = {
    {136, 120, 121, QColor(249, 250, 251), QColor(226, 231, 237), QColor(150, 163, 178)}, // normal
    {122, 124, 123, QColor(200, 214, 230), QColor(221, 230, 240), QColor(79, 118, 163)},  // pressed
    {125, 127, 126, QColor(250, 251, 252), QColor(214, 228, 244), palette::Accent},       // hover
    {131, 133, 132, QColor(238, 240, 243), QColor(232, 235, 239),
     QColor(199, 205, 213)}, // disabled
};

QImage buttonArt(const ButtonState& state)
{
    const int width = 2 * ButtonCap + ButtonMiddle;
    QImage art = canvas(width, ButtonHeight);
    QPainter painter(&art);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, ButtonHeight);
    fill.setColorAt(0, state.top);
    fill.setColorAt(1, state.bottom);
    painter.setPen(QPen(state.border, 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(0.5, 0.5, width - 1, ButtonHeight - 1), 7, 7);
    return art;
}

} // namespace

void addButtonPictures(SkinCatalogue& catalogue)
{
    for (const ButtonState& state : States) {
        const QImage art = buttonArt(state);
        // The button copies its caps; their soft edges are mixed with the face.
        catalogue.addPng(state.left, withAlphaOver(columns(art, 0, ButtonCap), palette::Face));
        catalogue.addBitmap(state.middle,
                            flattened(columns(art, ButtonCap, ButtonMiddle), palette::White));
        catalogue.addPng(
            state.right,
            withAlphaOver(columns(art, ButtonCap + ButtonMiddle, ButtonCap), palette::Face));
    }
}

} // namespace mailvane::skingen
