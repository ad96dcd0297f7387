// The tab strip and the frame round the pages of the settings sheet. The
// selected tab stands 4 pixels taller than the others and opens into the
// page; idle tabs sit on the frame's top line.

#include "SkinCatalogue.h"
#include "SkinStyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace mailvane::skingen {
namespace {

namespace number {
constexpr int FrameTop = 149;
constexpr int SelectedLastRight = 150;
constexpr int SelectedRight = 151;
constexpr int SelectedMiddle = 152;
constexpr int FrameBottom = 154;
constexpr int FrameBottomLeft = 155;
constexpr int FrameLeft = 156;
constexpr int IdleFirstLeft = 158;
constexpr int IdleLastRight = 159;
constexpr int SelectedLeft = 160;
constexpr int IdleLeft = 161;
constexpr int IdleMiddle = 162;
constexpr int FrameBottomRight = 163;
constexpr int FrameRight = 164;
constexpr int FrameTopRight = 165;
constexpr int SelectedFirstLeft = 166;
} // namespace number

constexpr int SelectedHeight = 24;
constexpr int IdleHeight = 20;
constexpr int Side = 8;   // parts that end one tab
constexpr int Joint = 16; // parts where two tabs meet
constexpr int Middle = 4;
constexpr int Corner = 8;
constexpr qreal Radius = 5;
constexpr qreal Far = 200; // a tab edge beyond the piece

// A tab from x = left to x = right whose top is at `top`, open at the bottom.
void drawTab(QPainter& painter, qreal left, qreal right, qreal top, bool selected)
{
    QPainterPath outline;
    const qreal bottom = SelectedHeight + 2;
    outline.moveTo(left, bottom);
    outline.lineTo(left, top + Radius);
    outline.quadTo(left, top, left + Radius, top);
    outline.lineTo(right - Radius, top);
    outline.quadTo(right, top, right, top + Radius);
    outline.lineTo(right, bottom);
    QLinearGradient fill(0, top, 0, top + IdleHeight);
    if (selected) {
        fill.setColorAt(0, QColor(252, 252, 253));
        fill.setColorAt(1, palette::Face);
    } else {
        fill.setColorAt(0, QColor(231, 234, 239));
        fill.setColorAt(1, palette::TabIdle);
    }
    painter.fillPath(outline, fill);
    painter.strokePath(outline, QPen(palette::Outline, 1));
}

// The frame's top line under idle tabs, on the piece's last row.
void drawBaseline(QPainter& painter, int width, int row)
{
    painter.fillRect(QRect(0, row, width, 1), palette::Outline);
}

QImage piece(int width, int height)
{
    return canvas(width, height);
}

QImage idlePiece(int width, const std::function<void(QPainter&)>& tabs)
{
    QImage art = piece(width, IdleHeight);
    QPainter painter(&art);
    painter.setRenderHint(QPainter::Antialiasing);
    tabs(painter);
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawBaseline(painter, width, IdleHeight - 1);
    return art;
}

// A selected part; `idle` draws the neighbour underneath, 4 pixels lower.
QImage selectedPiece(int width, qreal left, qreal right, const std::function<void(QPainter&)>& idle)
{
    QImage art = piece(width, SelectedHeight);
    QPainter painter(&art);
    painter.setRenderHint(QPainter::Antialiasing);
    if (idle) {
        idle(painter);
        painter.setRenderHint(QPainter::Antialiasing, false);
        drawBaseline(painter, width, SelectedHeight - 1);
        painter.setRenderHint(QPainter::Antialiasing);
    }
    drawTab(painter, left, right, 0.5, true);
    return art;
}

// One rounded corner of the frame: a rounded rectangle seen through the piece.
QImage cornerPiece(qreal left, qreal top, qreal right, qreal bottom)
{
    QImage art = piece(Corner, Corner);
    QPainter painter(&art);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette::Outline, 1));
    painter.setBrush(palette::Face);
    painter.drawRoundedRect(QRectF(QPointF(left, top), QPointF(right, bottom)), 6, 6);
    return art;
}

// A straight frame edge: face with the line on one side.
QImage edgePiece(int width, int height, QRect line)
{
    QImage image = opaqueCanvas(width, height, palette::Face);
    QPainter painter(&image);
    painter.fillRect(line, palette::Outline);
    return image;
}

} // namespace

void addTabPictures(SkinCatalogue& catalogue)
{
    const qreal idleTop = 0.5;
    const qreal idleTopBelowSelected = 4.5;

    catalogue.addPng(number::IdleFirstLeft, withAlpha(idlePiece(Side, [&](QPainter& p) {
                         drawTab(p, 0.5, Far, idleTop, false);
                     })));
    catalogue.addBitmap(
        number::IdleMiddle,
        flattened(idlePiece(Middle, [&](QPainter& p) { drawTab(p, -Far, Far, idleTop, false); }),
                  palette::Face));
    catalogue.addPng(number::IdleLeft, withAlpha(idlePiece(Joint, [&](QPainter& p) {
                         drawTab(p, -Far, Joint / 2 - 0.5, idleTop, false);
                         drawTab(p, Joint / 2 + 0.5, Far, idleTop, false);
                     })));
    catalogue.addPng(number::IdleLastRight, withAlpha(idlePiece(Joint, [&](QPainter& p) {
                         drawTab(p, -Far, Joint / 2 - 0.5, idleTop, false);
                     })));

    catalogue.addPng(number::SelectedFirstLeft, withAlpha(selectedPiece(Side, 0.5, Far, nullptr)));
    catalogue.addBitmap(number::SelectedMiddle,
                        flattened(selectedPiece(Middle, -Far, Far, nullptr), palette::Face));
    catalogue.addPng(number::SelectedLeft,
                     withAlpha(selectedPiece(Joint, 5.5, Far, [&](QPainter& p) {
                         drawTab(p, -Far, 10.5, idleTopBelowSelected, false);
                     })));
    catalogue.addPng(number::SelectedRight,
                     withAlpha(selectedPiece(Joint, -Far, 10.5, [&](QPainter& p) {
                         drawTab(p, 5.5, Far, idleTopBelowSelected, false);
                     })));
    catalogue.addPng(number::SelectedLastRight,
                     withAlpha(selectedPiece(Side, -Far, Side - 0.5, nullptr)));

    catalogue.addBitmap(number::FrameTop, edgePiece(Middle, Corner, QRect(0, 0, Middle, 1)));
    catalogue.addBitmap(number::FrameBottom,
                        edgePiece(Middle, Corner, QRect(0, Corner - 1, Middle, 1)));
    catalogue.addBitmap(number::FrameLeft, edgePiece(Corner, Middle, QRect(0, 0, 1, Middle)));
    catalogue.addBitmap(number::FrameRight,
                        edgePiece(Corner, Middle, QRect(Corner - 1, 0, 1, Middle)));
    catalogue.addPng(number::FrameTopRight, withAlpha(cornerPiece(-20, 0.5, Corner - 0.5, 30)));
    catalogue.addPng(number::FrameBottomRight,
                     withAlpha(cornerPiece(-20, -20, Corner - 0.5, Corner - 0.5)));
    catalogue.addPng(number::FrameBottomLeft, withAlpha(cornerPiece(0.5, -20, 30, Corner - 0.5)));
}

} // namespace mailvane::skingen
