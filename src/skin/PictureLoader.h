#pragma once

// The platform's picture loader: the formats it knows are BMP, GIF, JPEG and
// icons. PNG and WBMP are deliberately not among them, so that those files
// take the container's own routes (PNG with its alpha mask, WBMP by its bits).

#include <QByteArray>
#include <QImage>

namespace mailvane::skin {

class PictureLoader
{
public:
    // The picture's first image, or a null image when the bytes are not a
    // picture of a known format or it has more than MaxPicturePixels.
    static QImage fromBytes(const QByteArray& bytes);
};

} // namespace mailvane::skin
