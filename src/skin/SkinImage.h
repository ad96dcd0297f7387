#pragma once

// One picture of the skin library, fetched by number: a colour image and, for
// a PNG with an alpha channel, its inverse-alpha mask (see DisplayPngDecoder.h).

#include "ResourceLibrary.h"

#include <QImage>

namespace mailvane::skin {

// Resource type under which the skin library keeps its PNG pictures.
inline constexpr const char* PngResourceType = "PNG";

// The picture scale for a screen of `devicePixelRatio` device pixels per
// pixel: pictures come at whole scales, and a ratio such as 1.5 shows the
// next finer one reduced.
int pictureScale(qreal devicePixelRatio);

// The name under which the skin library keeps picture `number` drawn for
// `scale` device pixels per pixel: "<number>@<scale>x".
QString finerPictureName(int number, int scale);

class SkinImage
{
public:
    // Fetches picture `number`: the library's bitmap of that number when there
    // is one (no mask), otherwise its PNG of that number. Returns the colour
    // image, null when the library has neither or the PNG does not decode;
    // a previous picture is dropped either way.
    QImage load(const platform::LibraryHandle& module, int number);

    // The same picture for drawing at `scale` device pixels per pixel: colour
    // and mask `scale` times as large. They come from the library's finer
    // picture "<number>@<scale>x" when it has one of exactly that size (and a
    // mask where the picture has one), else from the picture enlarged.
    // `scale` 1 is load(module, number).
    QImage load(const platform::LibraryHandle& module, int number, int scale);

    const QImage& colour() const { return m_colour; }
    const QImage& mask() const { return m_mask; }

    // Hand the image over, leaving null behind.
    QImage takeColour() { return std::exchange(m_colour, QImage()); }
    QImage takeMask() { return std::exchange(m_mask, QImage()); }

private:
    QImage loadNamed(const platform::LibraryHandle& module, const QString& name);

    QImage m_colour;
    QImage m_mask;
};

} // namespace mailvane::skin
