#pragma once

// The platform's picture loader: the formats it knows are BMP, GIF, JPEG and
// icons. PNG and WBMP are deliberately not among them, so that those files
// take the container's own routes (PNG with its alpha mask, WBMP by its bits).
// Every picture it gives has passed the picture gate before and after
// decoding (PictureGate.h).

#include <QByteArray>
#include <QImage>

namespace mailvane::skin {

class PictureLoader
{
public:
    // The picture's first image, or a null image when the bytes are not a
    // picture of a known format or it has more than MaxPicturePixels.
    static QImage fromBytes(const QByteArray& bytes);

    // The same for a bitmap resource, which is a BMP and nothing else.
    static QImage fromBitmap(const QByteArray& bytes);
};

} // namespace mailvane::skin
