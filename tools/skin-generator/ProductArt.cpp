// The pictures of the product: the splash, the About box's product picture
// (with alpha) and its emblem with the emblem's mask.

#include "SkinCatalogue.h"
#include "SkinStyle.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace mailvane::skingen {
namespace {

namespace number {
constexpr int Splash = 137;
constexpr int Product = 171;
constexpr int EmblemMask = 184;
constexpr int Emblem = 185;
constexpr int ApplicationIcon = 139;
constexpr int IconSize = 256;
} // namespace number

QFont sansFont(int pixels, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A card with rounded corners and a soft shadow, its upper part in the bar
// colours, holding the glyph and the name; the desktop shows round it.
QImage splashArt()
{
    constexpr int Width = 440;
    constexpr int Height = 270;
    constexpr int Shadow = 14;
    QImage art = canvas(Width, Height);
    QPainter painter(&art);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF card(Shadow, Shadow - 4, Width - 2 * Shadow, Height - 2 * Shadow);
    for (int i = Shadow; i > 0; --i) {
        const qreal spread = i;
        QColor shade(20, 30, 45, static_cast<int>(5 + (Shadow - i) * 1.2));
        painter.setPen(Qt::NoPen);
        painter.setBrush(shade);
        painter.drawRoundedRect(card.adjusted(-spread, -spread + 4, spread, spread + 4),
                                14 + spread, 14 + spread);
    }

    QPainterPath shape;
    shape.addRoundedRect(card, 14, 14);
    painter.fillPath(shape, palette::Face);
    painter.save();
    painter.setClipPath(shape);
    const QRectF band(card.left(), card.top(), card.width(), card.height() * 0.62);
    fillBand(painter, band);
    QColor wave = palette::White;
    for (int i = 1; i <= 6; ++i) {
        wave.setAlpha(50 - i * 7);
        painter.setPen(QPen(wave, 2.5));
        painter.setBrush(Qt::NoBrush);
        const qreal r = 38.0 * i;
        painter.drawEllipse(QPointF(band.right() - 30, band.bottom() + 10), r, r);
    }
    painter.fillRect(QRectF(card.left(), band.bottom(), card.width(), 3), palette::Accent);
    painter.restore();

    drawGlyph(painter, QRectF(card.left() + 34, band.top() + 40, 86, 86), palette::White);
    painter.setPen(palette::White);
    painter.setFont(sansFont(40, true));
    painter.drawText(QRectF(card.left() + 140, band.top(), card.width() - 150, band.height()),
                     Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Mailvane"));
    painter.setPen(palette::InkSoft);
    painter.setFont(sansFont(14, false));
    painter.drawText(QRectF(card.left() + 34, band.bottom() + 3, card.width() - 68,
                            card.bottom() - band.bottom() - 3),
                     Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("E-mail settings, sent over the air"));
    return art;
}

// A rounded tile in the bar colours with the glyph; what lies round the tile
// stays transparent, so that the face of whatever box shows the tile shows
// through its corners.
QImage productArt()
{
    constexpr int Size = 64;
    QImage art = canvas(Size, Size);
    QPainter painter(&art);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, Size);
    fill.setColorAt(0, palette::BarLight);
    fill.setColorAt(1, palette::BarDark);
    painter.setPen(QPen(palette::BarEdge, 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(2.5, 2.5, Size - 5, Size - 5), 12, 12);
    drawGlyph(painter, QRectF(10, 8, Size - 20, Size - 20), palette::White);
    return art;
}

// The glyph and the name in ink; the About box lays it on its face.
QImage emblemArt()
{
    QImage art = canvas(300, 80);
    QPainter painter(&art);
    painter.setRenderHint(QPainter::Antialiasing);
    drawGlyph(painter, QRectF(4, 6, 64, 64), palette::BarDark);
    painter.setPen(palette::Ink);
    painter.setFont(sansFont(30, true));
    painter.drawText(QRectF(80, 4, 220, 44), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Mailvane"));
    painter.setPen(palette::InkSoft);
    painter.setFont(sansFont(12, false));
    painter.drawText(QRectF(82, 46, 218, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("E-mail settings over the air"));
    painter.fillRect(QRectF(82, 74, 120, 2), palette::Accent);
    return art;
}

} // namespace

QImage applicationIcon(int size)
{
    // The product tile with transparent corners, drawn at the size asked for
    // rather than scaled, so that small icons stay sharp.
    QImage art = canvas(size, size);
    QPainter painter(&art);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 64.0;
    QLinearGradient fill(0, 0, 0, size);
    fill.setColorAt(0, palette::BarLight);
    fill.setColorAt(1, palette::BarDark);
    painter.setPen(QPen(palette::BarEdge, unit));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(2.5 * unit, 2.5 * unit, size - 5 * unit, size - 5 * unit),
                            12 * unit, 12 * unit);
    drawGlyph(painter, QRectF(10 * unit, 8 * unit, size - 20 * unit, size - 20 * unit),
              palette::White);
    return art;
}

void addProductPictures(SkinCatalogue& catalogue)
{
    catalogue.addPng(number::ApplicationIcon, applicationIcon(number::IconSize));
    catalogue.addPng(number::Splash, withAlpha(splashArt()));
    // With its alpha: the program takes the inverse-alpha mask from it.
    catalogue.addPng(number::Product, withAlpha(productArt()));
    const QImage emblem = emblemArt();
    // The emblem's colours stand alone; the mask says how much of each shows.
    catalogue.addBitmap(number::Emblem, withoutAlpha(withAlpha(emblem)));
    catalogue.addBitmap(number::EmblemMask, inverseAlphaMask(emblem));
}

} // namespace mailvane::skingen
