#pragma once

// Drawing one skin piece: plain copying, or, through an alpha mask, a blend
// with the patch of a background image under the piece.

#include <QImage>

class QPainter;

namespace mailvane::skin {

enum class FitTest
{
    // A masked piece that does not lie wholly inside the background is skipped.
    Required,
    // A masked piece is always drawn; the patch is cut where the background ends.
    Skipped,
};

// The image's pixels as a top-down 24-bit B, G, R image (Format_BGR888). A
// 32-bit image loses its fourth byte unchanged, as a device-independent copy
// would: no alpha is applied.
QImage toBgr24(const QImage& image);

// Per byte: (piece × (255 − mask) + patch × mask) / 256, truncated. The result
// has the piece's size; mask and patch bytes outside their images count as 0.
QImage blendThroughMask(const QImage& piece, const QImage& mask, const QImage& patch);

// Draws `w` × `h` pixels of the piece, from its top-left corner, at (x, y).
// Without a mask the pixels are copied. With one, the patch of `background`
// at the same (x, y) with the piece's full size is blended under it first;
// see FitTest. A null piece draws nothing. A finer piece (device pixel ratio
// above 1, its mask as fine) covers the same pixels with its finer ones; the
// patch of the background (ratio 1) is enlarged to it.
void drawSkinPiece(QPainter& painter, const QImage& piece, const QImage& mask,
                   const QImage& background, int x, int y, int w, int h,
                   FitTest fitTest = FitTest::Required);

} // namespace mailvane::skin
