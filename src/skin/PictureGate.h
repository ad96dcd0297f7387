#pragma once

// The one size check between bytes and pixels. Every route that turns bytes
// into a picture asks admits() with the bytes before its decoder takes any
// memory for pixels; a route whose decoder is a library's asks once more with
// the picture that came out. The size asked about is read here, from the
// format's own header, and not from what a decoder reports beforehand: a
// decoder may report one size and draw on a larger picture (an animation on
// its logical screen, an icon on the PNG stored inside it).

#include <QByteArray>
#include <QImage>
#include <QtGlobal>
#include <optional>

namespace mailvane::skin {

enum class PictureFormat
{
    Png,
    Gif,
    Bmp,
    Jpeg,
    Icon,
};

// Sides as a header states them, unsigned 32-bit values included.
struct StatedSize
{
    qint64 width = 0;
    qint64 height = 0;
};

class PictureGate
{
public:
    // The largest picture a decoder of `format` allocates for `bytes`:
    //   PNG   the header chunk; a stream whose first chunk is not a whole
    //         header states 0 × 0, as its decoder stops before any pixels;
    //   GIF   the logical screen, widened to the first frame's extent (a frame
    //         that passes the screen gets a larger picture);
    //   BMP   the information header, either sign of the height;
    //   JPEG  the first frame header;
    //   icon  the first image: the PNG stored in it, or the larger of its
    //         directory size and its bitmap header's.
    // Nothing when the bytes are not of that format or the size lies past
    // their end.
    static std::optional<StatedSize> statedSize(PictureFormat format, const QByteArray& bytes);

    // Before decoding: whether the stated size is known and keeps within
    // MaxPicturePixels.
    static bool admits(PictureFormat format, const QByteArray& bytes);

    // After decoding: whether `picture` keeps within MaxPicturePixels. A null
    // picture is not admitted.
    static bool admits(const QImage& picture);
};

} // namespace mailvane::skin
