#pragma once

// The largest pictures the skin decodes. Skin pictures are a few hundred
// pixels a side; a damaged or hostile header may claim billions of pixels, and
// without a bound the program would try to allocate gigabytes for them.

#include <QtGlobal>

namespace mailvane::skin {

// Most pixels (width × height) of one decoded picture, whatever its format;
// PictureGate.h holds every route to it.
inline constexpr qint64 MaxPicturePixels = qint64{4096} * 4096;

// Most pixels all frames of one composed animation hold together (each frame
// is a picture of the animation's whole screen).
inline constexpr qint64 MaxAnimationPixels = qint64{64} * 1024 * 1024;

// Sides as a header states them (a PNG's are 32-bit): each is bounded before
// they are multiplied, so that the product cannot overflow.
inline bool isWithinPictureLimit(qint64 width, qint64 height)
{
    return width >= 0 && height >= 0 && width <= MaxPicturePixels && height <= MaxPicturePixels &&
           width * height <= MaxPicturePixels;
}

} // namespace mailvane::skin
