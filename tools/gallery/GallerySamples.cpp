#include "GallerySamples.h"

#include "ImageFixtures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>

namespace mailvane::gallery {
namespace {

// One bit per pixel of a picture of dark text on white: true where it is dark.
QImage textPicture(int width, int height, const QString& text)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    QFont font = painter.font();
    font.setPixelSize(height - 6);
    font.setBold(true);
    painter.setFont(font);
    painter.drawRect(0, 0, width - 1, height - 1);
    painter.drawText(image.rect(), Qt::AlignCenter, text);
    return image;
}

bool dark(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

} // namespace

QImage sampleBitmap()
{
    QImage image(96, 64, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 64);
    sky.setColorAt(0, QColor(0x3A, 0x6E, 0xA5));
    sky.setColorAt(1, QColor(0xC9, 0xDD, 0xF0));
    painter.fillRect(image.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0xF4, 0xC4, 0x30));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(70, 20), 10, 10);
    painter.setBrush(QColor(0x4E, 0x7D, 0x4A));
    painter.drawEllipse(QRectF(-20, 44, 90, 50));
    painter.drawEllipse(QRectF(40, 50, 90, 40));
    return image;
}

QImage samplePngWithAlpha()
{
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(QPointF(32, 32), 30);
    glow.setColorAt(0.0, QColor(0x2F, 0x6F, 0xD0, 255));
    glow.setColorAt(0.7, QColor(0x2F, 0x6F, 0xD0, 220));
    glow.setColorAt(1.0, QColor(0x2F, 0x6F, 0xD0, 0));
    painter.setBrush(glow);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(32, 32), 30, 30);
    painter.setBrush(QColor(255, 255, 255, 230));
    painter.drawEllipse(QPointF(25, 24), 7, 7);
    return image;
}

QByteArray sampleAnimatedGif()
{
    // A red ball hopping across a pale field; each frame is disposed to the
    // background and its corners are transparent.
    constexpr int Size = 12;
    test::GifDescription description;
    description.screenWidth = 48;
    description.screenHeight = 24;
    description.palette = {qRgb(0xEE, 0xF2, 0xF6), qRgb(0xD0, 0x3B, 0x2F), qRgb(0x7A, 0x1E, 0x16),
                           qRgb(0, 0, 0)};
    description.backgroundIndex = 0;
    description.netscapeLoops = 0;
    const int hops[][2] = {{0, 12}, {12, 4}, {24, 0}, {36, 8}};
    for (const auto& hop : hops) {
        test::GifFrameDescription frame{hop[0], hop[1], Size, Size, {}, 2, 15, 3, true};
        for (int y = 0; y < Size; ++y) {
            for (int x = 0; x < Size; ++x) {
                const double d = std::hypot(x - 5.5, y - 5.5);
                frame.indices.append(d > 6.0 ? 3 : (d > 4.5 ? 2 : 1));
            }
        }
        description.frames.append(frame);
    }
    return test::encodeGif(description);
}

QByteArray sampleWbmp()
{
    const QImage picture = textPicture(64, 20, QStringLiteral("WBMP"));
    QByteArray out("\0\0", 2);
    out.append(char(picture.width()));
    out.append(char(picture.height()));
    for (int y = 0; y < picture.height(); ++y) {
        for (int byte = 0; byte < (picture.width() + 7) / 8; ++byte) {
            int bits = 0;
            for (int i = 0; i < 8; ++i) {
                const int x = byte * 8 + i;
                // A set bit is white.
                if (x < picture.width() && !dark(picture, x, y))
                    bits |= 0x80 >> i;
            }
            out.append(char(bits));
        }
    }
    return out;
}

QByteArray sampleOta()
{
    const QImage picture = textPicture(72, 14, QStringLiteral("OTA logo"));
    QByteArray out("\0", 1);
    out.append(char(picture.width()));
    out.append(char(picture.height()));
    out.append(char(1));
    int bits = 0;
    int count = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            // A set bit is black; rows run on without padding.
            if (dark(picture, x, y))
                bits |= 0x80 >> count;
            if (++count == 8) {
                out.append(char(bits));
                bits = count = 0;
            }
        }
    }
    if (count > 0)
        out.append(char(bits));
    return out;
}

QImage checkerboard(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                           ((x / 8 + y / 8) % 2) ? qRgb(0xDD, 0xDD, 0xDD) : qRgb(255, 255, 255));
    }
    return image;
}

} // namespace mailvane::gallery
