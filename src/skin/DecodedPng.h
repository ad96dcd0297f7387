#pragma once

// What both PNG routes give: a colour image and, for an image with alpha, a
// mask that holds 255 − alpha (0 opaque, 255 fully transparent) in all three
// bytes of each pixel, the convention the blend and the skin painters share.
// The routes differ in what they accept and how they treat the samples; see
// DisplayPngDecoder.h and RawPngDecoder.h.

#include <QImage>

namespace mailvane::skin {

struct DecodedPng
{
    // Its format is the route's (see the route's decode()).
    QImage colour;
    // A 24-bit section (Dib24.h) of the colour image's size, or null when the
    // image has no alpha.
    QImage mask;
};

// Writes one mask row: for each of `width` pixels, 255 − alpha into all three
// bytes. `alpha` points at the first pixel's alpha byte; each next pixel's is
// `step` bytes further on.
void writeInverseAlphaRow(const uchar* alpha, int step, int width, uchar* maskRow);

} // namespace mailvane::skin
