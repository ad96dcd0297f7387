// The frame of the skinned dialogs (top and left bars, background), the
// message box background and the frame of the file dialog.

#include "SkinCatalogue.h"
#include "SkinStyle.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace mailvane::skingen {
namespace {

using namespace measure;

// Image numbers of the dialog frames.
namespace number {
constexpr int DialogLeftTop = 140;
constexpr int DialogTopRight = 141;
constexpr int DialogTopMiddle = 142;
constexpr int DialogTopLeft = 143;
constexpr int MessageBoxBackground = 144;
constexpr int Background = 145;
constexpr int LeftMiddle = 146;
constexpr int LeftBottom = 147;
constexpr int MainExtraTop = 167;
constexpr int MainTopMiddle = 168;
constexpr int MainTopRight = 169;
constexpr int MainTopLeft = 170;
} // namespace number

// Large enough that no dialog stretches it, and that bar pieces blended at
// the far right of a widened window still lie on it.
constexpr int BackgroundWidth = 1600;
constexpr int BackgroundHeight = 1200;
constexpr int LeftBottomHeight = 48;
constexpr int MiddleWidth = 8;

void fillLeftBar(QPainter& painter, const QRectF& rect)
{
    QLinearGradient gradient(rect.topLeft(), rect.topRight());
    gradient.setColorAt(0, palette::BarDark.lighter(108));
    gradient.setColorAt(1, palette::BarDark);
    painter.fillRect(rect, gradient);
    painter.fillRect(QRectF(rect.right() - 1, rect.top(), 1, rect.height()), palette::BarEdge);
}

// One run of a top bar: the band, and below it the strip that is `under`.
QImage topBarArt(int width, int band, const QColor& under)
{
    QImage art = canvas(width, band + Fillet);
    QPainter painter(&art);
    painter.fillRect(art.rect(), under);
    fillBand(painter, QRectF(0, 0, width, band));
    return art;
}

// The left end of a top bar: where it turns down into the left bar.
QImage topLeftArt(int width, int band, const QColor& under, bool withName)
{
    QImage art = topBarArt(width, band, under);
    QPainter painter(&art);
    painter.setRenderHint(QPainter::Antialiasing);
    // The band's bottom line stops where the bar turns down.
    fillLeftBar(painter, QRectF(0, band - 1, LeftBarWidth, Fillet + 1));
    // The rounded inner corner: a square less a quarter circle.
    QPainterPath corner;
    corner.addRect(QRectF(LeftBarWidth - 1, band - 1, Fillet + 1, Fillet + 1));
    QPainterPath round;
    round.addEllipse(QPointF(LeftBarWidth + Fillet, band + Fillet), Fillet, Fillet);
    painter.fillPath(corner.subtracted(round), palette::BarDark);

    const qreal glyph = band * 0.62;
    const QRectF glyphBox(LeftBarWidth / 2.0, (band - glyph) / 2, glyph, glyph);
    drawGlyph(painter, glyphBox, palette::White);
    if (withName) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(band * 2 / 5);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(palette::White);
        painter.drawText(QRectF(glyphBox.right() + 12, 0, width, band),
                         Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Mailvane"));
    }
    return art;
}

// The right end: the band with faint waves spreading from its corner.
QImage topRightArt(int width, int band, const QColor& under)
{
    QImage art = topBarArt(width, band, under);
    QPainter painter(&art);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(QRectF(0, 1, width, band - 2));
    QColor wave = palette::White;
    for (int i = 1; i <= 4; ++i) {
        wave.setAlpha(46 - i * 8);
        painter.setPen(QPen(wave, 2.0));
        const qreal r = band * 0.45 * i;
        painter.drawEllipse(QPointF(width + band * 0.2, band * 1.2), r, r);
    }
    return art;
}

QImage leftBarArt(int height)
{
    QImage art = canvas(LeftBarWidth, height);
    QPainter painter(&art);
    fillLeftBar(painter, QRectF(art.rect()));
    return art;
}

// Top of the left bar below a dialog's top bar: a soft shadow of the bar.
QImage leftTopArt()
{
    QImage art = leftBarArt(16);
    QPainter painter(&art);
    QLinearGradient shadow(0, 0, 0, 16);
    shadow.setColorAt(0, QColor(0, 0, 0, 40));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    painter.fillRect(QRectF(0, 0, LeftBarWidth - 1, 16), shadow);
    return art;
}

// The bottom of the left bar fades into the face.
QImage leftBottomArt()
{
    QImage art = leftBarArt(LeftBottomHeight);
    QPainter painter(&art);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    QLinearGradient fade(0, 0, 0, LeftBottomHeight);
    fade.setColorAt(0, QColor(0, 0, 0, 255));
    fade.setColorAt(1, QColor(0, 0, 0, 0));
    painter.fillRect(art.rect(), fade);
    return art;
}

QImage plainFace(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(palette::Face);
    return image;
}

// The message box: face with a thin accent line along its top.
QImage messageBoxBackground()
{
    QImage image = plainFace(480, 320);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, image.width(), 3), palette::BarLight);
    return image;
}

// The rounded rail behind the folder box of the file dialog, on white.
QImage decorationArt()
{
    constexpr int Width = 32;
    constexpr int Height = 28;
    QImage art = canvas(Width, Height);
    QPainter painter(&art);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette::Outline, 1));
    painter.setBrush(palette::Face);
    painter.drawRoundedRect(QRectF(0.5, 0.5, Width - 1, Height - 1), 6, 6);
    return flattened(art, palette::White);
}

void addFileDialogFrame(SkinCatalogue& catalogue)
{
    const QImage top = topBarArt(MiddleWidth, DialogBand, palette::White);
    const QImage topLeft = topLeftArt(160, DialogBand, palette::White, false);
    const QImage topRight = topRightArt(80, DialogBand, palette::White);
    const QImage left = leftBarArt(8);
    const QImage leftBottom = flattened(leftBottomArt(), palette::White);
    const QImage decoration = decorationArt();
    const QImage decorLeft = columns(decoration, 0, 12);
    const QImage decorMiddle = columns(decoration, 12, 8);
    const QImage decorRight = columns(decoration, 20, 12);

    // The program's own defaults and the skin's overrides look alike here.
    for (const char* prefix : {"IDB_", "OPENSAVE_"}) {
        const QString p = QLatin1String(prefix);
        const bool isDefault = p == QLatin1String("IDB_");
        const QString bar = isDefault ? QStringLiteral("BAR_") : QString();
        catalogue.addBitmap(p + bar + QStringLiteral("TOP"), flattened(top, palette::White));
        catalogue.addBitmap(p + bar + QStringLiteral("TOP_LEFT"),
                            flattened(topLeft, palette::White));
        catalogue.addBitmap(p + bar + QStringLiteral("LEFT"), flattened(left, palette::White));
        catalogue.addBitmap(p + bar + QStringLiteral("LEFT_BOTTOM"), leftBottom);
        catalogue.addBitmap(p + QStringLiteral("DECOR_LEFT"), decorLeft);
        catalogue.addBitmap(p + QStringLiteral("DECOR_MIDDLE"), decorMiddle);
        catalogue.addBitmap(p + QStringLiteral("DECOR_RIGHT"), decorRight);
    }
    catalogue.addBitmap(QStringLiteral("OPENSAVE_TOP_RIGHT"), flattened(topRight, palette::White));
}

} // namespace

void addFramePictures(SkinCatalogue& catalogue)
{
    const QColor& face = palette::Face;
    // Plain face has no detail a finer picture could show.
    if (drawingScale() == 1) {
        catalogue.addBitmap(number::Background, plainFace(BackgroundWidth, BackgroundHeight));
        catalogue.addBitmap(number::MessageBoxBackground, messageBoxBackground());
    }

    catalogue.addBitmap(number::DialogTopLeft,
                        flattened(topLeftArt(160, DialogBand, face, false), face));
    catalogue.addBitmap(number::DialogTopMiddle,
                        flattened(topBarArt(MiddleWidth, DialogBand, face), face));
    catalogue.addBitmap(number::DialogTopRight, flattened(topRightArt(80, DialogBand, face), face));

    catalogue.addBitmap(number::MainTopLeft,
                        flattened(topLeftArt(260, MainBand, face, true), face));
    catalogue.addBitmap(number::MainTopMiddle,
                        flattened(topBarArt(MiddleWidth, MainBand, face), face));
    catalogue.addBitmap(number::MainTopRight, flattened(topRightArt(140, MainBand, face), face));

    catalogue.addBitmap(number::DialogLeftTop, flattened(leftTopArt(), face));
    catalogue.addBitmap(number::LeftMiddle, flattened(leftBarArt(10), face));
    catalogue.addPng(number::LeftBottom, withAlpha(leftBottomArt()));

    // An ornament for the main window's band, complete with the band so that
    // it may be laid anywhere along the bar.
    QImage ornament = topBarArt(240, MainBand, face);
    {
        QPainter painter(&ornament);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setClipRect(QRectF(0, 1, 240, MainBand - 2));
        QColor wave = palette::White;
        for (int i = 1; i <= 5; ++i) {
            wave.setAlpha(60 - i * 10);
            painter.setPen(QPen(wave, 2.0));
            const qreal r = 22.0 * i;
            painter.drawEllipse(QPointF(120, MainBand * 1.1), r, r);
        }
    }
    catalogue.addBitmap(number::MainExtraTop, flattened(ornament, face));

    addFileDialogFrame(catalogue);
}

} // namespace mailvane::skingen
