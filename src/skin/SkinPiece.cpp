#include "SkinPiece.h"

#include <QPainter>

namespace mailvane::skin {
namespace {

// Copies the first three bytes of each 4-byte pixel.
QImage dropFourthByte(const QImage& image)
{
    QImage out(image.size(), QImage::Format_BGR888);
    for (int y = 0; y < image.height(); ++y) {
        const uchar* in = image.constScanLine(y);
        uchar* row = out.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            row[3 * x] = in[4 * x];
            row[3 * x + 1] = in[4 * x + 1];
            row[3 * x + 2] = in[4 * x + 2];
        }
    }
    return out;
}

uchar byteAt(const QImage& image, int x, int y, int channel)
{
    if (x >= image.width() || y >= image.height())
        return 0;
    return image.constScanLine(y)[3 * x + channel];
}

} // namespace

QImage toBgr24(const QImage& image)
{
    if (image.isNull())
        return {};
    switch (image.format()) {
    case QImage::Format_BGR888:
        return image;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        return dropFourthByte(image);
    default:
        return image.convertToFormat(QImage::Format_BGR888);
    }
}

QImage blendThroughMask(const QImage& piece, const QImage& mask, const QImage& patch)
{
    const QImage p = toBgr24(piece);
    const QImage m = toBgr24(mask);
    const QImage b = toBgr24(patch);
    QImage out(p.size(), QImage::Format_BGR888);
    for (int y = 0; y < p.height(); ++y) {
        const uchar* in = p.constScanLine(y);
        uchar* row = out.scanLine(y);
        for (int x = 0; x < p.width(); ++x) {
            for (int c = 0; c < 3; ++c) {
                const int maskByte = byteAt(m, x, y, c);
                const int pieceByte = in[3 * x + c];
                row[3 * x + c] = static_cast<uchar>(
                    (pieceByte * (255 - maskByte) + byteAt(b, x, y, c) * maskByte) / 256);
            }
        }
    }
    return out;
}

void drawSkinPiece(QPainter& painter, const QImage& piece, const QImage& mask,
                   const QImage& background, int x, int y, int w, int h, FitTest fitTest)
{
    if (piece.isNull() || w <= 0 || h <= 0)
        return;
    const qreal ratio = piece.devicePixelRatio();
    const QRectF target(x, y, w, h);
    const QRectF source(0, 0, w * ratio, h * ratio);
    const QPainter::CompositionMode previousMode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (mask.isNull()) {
        painter.drawImage(target, piece, source);
    } else {
        const QRect patchArea(QPoint(x, y), piece.deviceIndependentSize().toSize());
        const bool fits =
            patchArea.right() < background.width() && patchArea.bottom() < background.height();
        if (fits || fitTest == FitTest::Skipped) {
            QImage patch = background.copy(patchArea);
            if (!patch.isNull() && patch.size() != piece.size())
                patch = patch.scaled(piece.size());
            QImage blended = blendThroughMask(piece, mask, patch);
            blended.setDevicePixelRatio(ratio);
            painter.drawImage(target, blended, source);
        }
    }
    painter.setCompositionMode(previousMode);
}

} // namespace mailvane::skin
