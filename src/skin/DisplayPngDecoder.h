#pragma once

// The PNG route of the skin images: any PNG is converted for display. Palette,
// grey and low-depth images are expanded, transparency chunks become alpha,
// 16-bit samples are cut to 8 and the samples are gamma-corrected for a 2.2
// display (a file that states no gamma is taken as encoded for one). The
// colour image is top-down, B, G, R (Format_BGR888) without alpha or B, G, R,
// A (Format_ARGB32 on a little-endian machine) with it, rows padded to a
// multiple of 4 bytes; with alpha the mask is set as well (DecodedPng.h).

#include "DecodedPng.h"

#include <QByteArray>
#include <optional>

namespace mailvane::skin {

class DisplayPngDecoder
{
public:
    // Nothing when the data is not a PNG, is cut short ("Read Error" goes to
    // the diagnostic trace), is damaged, or has more than MaxPicturePixels.
    static std::optional<DecodedPng> decode(const QByteArray& bytes);
};

} // namespace mailvane::skin
