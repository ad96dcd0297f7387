#pragma once

// Composes the frames of an animated GIF the way a viewer shows them: each
// frame over the previous one, with disposal to the background colour and
// transparent pixels leaving what lies below.

#include "GifParser.h"

#include <QImage>
#include <QList>
#include <optional>

namespace mailvane::skin {

struct ComposedGif
{
    QList<QImage> frames; // 24-bit sections of the logical screen size
    QList<int> delays;    // milliseconds
    int loopCount = 1;
};

class GifComposer
{
public:
    // Composes a file of more than one frame; a single-frame or broken file
    // gives nothing, and so does one the picture gate refuses (PictureGate.h)
    // or whose frames together pass MaxAnimationPixels. A background override
    // replaces the file's colour.
    static std::optional<ComposedGif> compose(const QByteArray& bytes,
                                              std::optional<QRgb> backgroundOverride = {});

    // The stand-alone GIF of one frame: the file's prefix (with the first
    // graphic control extension in it given this frame's bytes), the frame's
    // bytes and the trailer.
    static QByteArray standAloneFrame(const QByteArray& bytes, const GifStructure& gif, int index);
};

} // namespace mailvane::skin
