#pragma once

// Helpers for 24-bit device-independent sections: blue, green, red bytes per
// pixel, rows padded to a multiple of 4 bytes, first row at the top. The image
// container computes on these bytes directly, so every frame it holds has this
// layout (QImage::Format_BGR888 pads its rows the same way).

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QRgb>
#include <cstdint>

namespace mailvane::skin::dib {

inline constexpr QImage::Format SectionFormat = QImage::Format_BGR888;

// Bytes per row: width × 3 rounded up to a multiple of 4.
constexpr int strideFor(int width)
{
    return (width * 3 + 3) & ~3;
}

// A zero-filled (black) section, its row padding zero too, or a null image
// for an empty size.
QImage newSection(int width, int height);

// The pixels of `area` of `section` in section layout: rows of
// strideFor(area.width()) bytes, top row first, padding zero. Parts of `area`
// outside `section` stay black. Only pixel bytes are copied, never a row's
// padding, which a QImage leaves unwritten.
QByteArray rowsOf(const QImage& section, const QRect& area);

// Any image as a section; transparency is dropped, keeping the colour bytes.
QImage toSection(const QImage& image);

// The pixel at byte `pixel` as 0xRRGGBB.
inline std::uint32_t pixelValue(const uchar* pixel)
{
    return (std::uint32_t(pixel[2]) << 16) | (std::uint32_t(pixel[1]) << 8) | pixel[0];
}

inline void setPixelValue(uchar* pixel, std::uint32_t value)
{
    pixel[0] = uchar(value);
    pixel[1] = uchar(value >> 8);
    pixel[2] = uchar(value >> 16);
}

} // namespace mailvane::skin::dib
