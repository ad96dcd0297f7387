#pragma once

// Images made by the skin-image tests themselves: a small GIF encoder, a
// skin-library bundle built with rcc, and byte-level helpers.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QMap>
#include <QRgb>
#include <QString>
#include <cstdint>
#include <optional>

namespace mailvane::test {

struct GifFrameDescription
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    QList<std::uint8_t> indices; // width × height colour indices, top row first
    int disposal = 0;
    int delay = 0; // hundredths of a second
    int transparent = -1;
    bool withControl = true;
};

struct GifDescription
{
    int screenWidth = 0;
    int screenHeight = 0;
    QList<QRgb> palette; // 2, 4, 8 … 256 entries
    int backgroundIndex = 0;
    std::optional<int> netscapeLoops;
    QList<GifFrameDescription> frames;
};

// A GIF file of the given frames (LZW with a clear code often enough that the
// code width never grows, which every decoder accepts).
QByteArray encodeGif(const GifDescription& description);

// A skin library bundle holding `files` (path inside the bundle → bytes),
// written into `folder`; its path, or an empty string when rcc failed.
QString buildLibrary(const QString& folder, const QMap<QString, QByteArray>& files);

QByteArray encodeImage(const QImage& image, const char* format);

// The pixel at (x, y) of a 24-bit section as 0xRRGGBB.
std::uint32_t sectionPixel(const QImage& section, int x, int y);

} // namespace mailvane::test
