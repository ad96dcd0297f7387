#include "SkinStyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace mailvane::skingen {

namespace {
int scaleInUse = 1;
} // namespace

void setDrawingScale(int scale)
{
    scaleInUse = std::max(scale, 1);
}

int drawingScale()
{
    return scaleInUse;
}

QImage canvas(int width, int height)
{
    QImage image(width * scaleInUse, height * scaleInUse, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scaleInUse);
    image.fill(Qt::transparent);
    return image;
}

QImage opaqueCanvas(int width, int height, const QColor& colour)
{
    QImage image(width * scaleInUse, height * scaleInUse, QImage::Format_RGB32);
    image.setDevicePixelRatio(scaleInUse);
    image.fill(colour);
    return image;
}

QImage flattened(const QImage& art, const QColor& under)
{
    QImage out(art.size(), QImage::Format_RGB32);
    out.setDevicePixelRatio(art.devicePixelRatio());
    out.fill(under);
    QPainter painter(&out);
    painter.drawImage(0, 0, art);
    return out;
}

QImage withAlpha(const QImage& art)
{
    QImage out = art.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (qAlpha(row[x]) == 0)
                row[x] = qRgba(255, 255, 255, 0);
        }
    }
    return out;
}

QImage withAlphaOver(const QImage& art, const QColor& under)
{
    const QImage opaque = flattened(art, under);
    QImage out = withAlpha(art);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        const auto* colour = reinterpret_cast<const QRgb*>(opaque.constScanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (qAlpha(row[x]) != 0)
                row[x] = (colour[x] & 0x00FFFFFF) | (row[x] & 0xFF000000);
        }
    }
    return out;
}

QImage withoutAlpha(const QImage& picture)
{
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            row[x] |= 0xFF000000;
    }
    return out.convertToFormat(QImage::Format_RGB32);
}

QImage inverseAlphaMask(const QImage& art)
{
    const QImage argb = art.convertToFormat(QImage::Format_ARGB32);
    QImage mask(art.size(), QImage::Format_RGB32);
    for (int y = 0; y < art.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < art.width(); ++x) {
            const int m = 255 - qAlpha(in[x]);
            out[x] = qRgb(m, m, m);
        }
    }
    return mask;
}

QImage columns(const QImage& image, int x, int width)
{
    // x and width are pixels of scale 1; the image may be finer.
    const int scale = qRound(image.devicePixelRatio());
    QImage out = image.copy(x * scale, 0, width * scale, image.height());
    out.setDevicePixelRatio(image.devicePixelRatio());
    return out;
}

void fillBand(QPainter& painter, const QRectF& rect)
{
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, palette::BarLight);
    gradient.setColorAt(1, palette::BarDark);
    painter.fillRect(rect, gradient);
    painter.fillRect(QRectF(rect.left(), rect.top(), rect.width(), 1), palette::BarHighlight);
    painter.fillRect(QRectF(rect.left(), rect.bottom() - 1, rect.width(), 1), palette::BarEdge);
}

void drawGlyph(QPainter& painter, const QRectF& box, const QColor& colour)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = std::min(box.width(), box.height());
    const QPointF o = box.topLeft();
    const qreal stroke = std::max<qreal>(1.2, s * 0.07);
    QPen pen(colour, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);

    // The envelope sits low and to the left; the waves leave its top right.
    const QRectF envelope(o.x() + s * 0.06, o.y() + s * 0.40, s * 0.62, s * 0.44);
    painter.drawRoundedRect(envelope, s * 0.05, s * 0.05);
    QPainterPath flap;
    flap.moveTo(envelope.topLeft() + QPointF(s * 0.03, s * 0.03));
    flap.lineTo(envelope.center().x(), envelope.top() + envelope.height() * 0.55);
    flap.lineTo(envelope.topRight() + QPointF(-s * 0.03, s * 0.03));
    painter.drawPath(flap);

    const QPointF source(o.x() + s * 0.62, o.y() + s * 0.38);
    for (int i = 1; i <= 3; ++i) {
        const qreal r = s * 0.11 * i;
        painter.drawArc(QRectF(source.x() - r, source.y() - r, 2 * r, 2 * r), 0 * 16, 90 * 16);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(source, stroke * 0.8, stroke * 0.8);
    painter.restore();
}

} // namespace mailvane::skingen
