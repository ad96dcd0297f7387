#pragma once

// Decodes a PNG held in memory into the pixel layout the skin painters work
// on: a top-down image whose bytes are B, G, R (24 bits, Format_BGR888) or
// B, G, R, A (32 bits, Format_ARGB32 on a little-endian machine), each row
// padded to a multiple of 4 bytes.

#include <QByteArray>
#include <QImage>
#include <optional>

namespace mailvane::skin {

struct DecodedPng
{
    // 24-bit when the image has no alpha channel, 32-bit otherwise.
    QImage colour;
    // For a 32-bit colour image: a 24-bit image of the same size whose three
    // bytes per pixel all hold 255 minus the pixel's alpha (0 opaque, 255
    // fully transparent). Null for a 24-bit colour image.
    QImage mask;
};

// Decodes `bytes` with libpng; returns nothing when the data is not a PNG,
// is cut short ("Read Error" goes to the diagnostic trace), or is damaged.
std::optional<DecodedPng> decodePng(const QByteArray& bytes);

// Builds the 24-bit alpha mask of a 32-bit image as described for DecodedPng.
QImage alphaMaskOf(const QImage& colour32);

} // namespace mailvane::skin
