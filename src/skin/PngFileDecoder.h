#pragma once

// The container's own PNG route: libpng reads the whole image untransformed
// and only colour images of 24 bits per pixel or more are taken. Unlike the
// skin-image decoder it applies no gamma, and it keeps alpha as a separate
// 24-bit mask of 255 − alpha.

#include <QByteArray>
#include <QImage>
#include <optional>

namespace mailvane::skin {

struct DecodedPng
{
    QImage colour; // 24-bit section
    QImage mask;   // 24-bit section of 255 − alpha, or null without alpha
};

class PngFileDecoder
{
public:
    // Nothing when the bytes are not a PNG, the decoder reports an error, or
    // the image is not an RGB or RGBA image of 8 or 16 bits per sample.
    static std::optional<DecodedPng> decode(const QByteArray& bytes);
};

} // namespace mailvane::skin
