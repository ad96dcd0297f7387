#pragma once

// The PNG route of the image container: libpng reads the image untransformed
// and only RGB and RGBA images of 8 or 16 bits per sample are taken. Samples
// are used as stored, no gamma applied, the high byte of a 16-bit sample. The
// colour image is a 24-bit section (Dib24.h), the alpha goes to the mask
// (DecodedPng.h).

#include "DecodedPng.h"

#include <QByteArray>
#include <optional>

namespace mailvane::skin {

class RawPngDecoder
{
public:
    // Nothing when the bytes are not a PNG, the decoder reports an error, the
    // image has more than MaxPicturePixels, or it is not an RGB or RGBA image
    // of 8 or 16 bits per sample.
    static std::optional<DecodedPng> decode(const QByteArray& bytes);
};

} // namespace mailvane::skin
