#pragma once

// Turns an image into a window region: every run of pixels that do not match
// the key colour becomes a rectangle one pixel high.

#include <QImage>
#include <QRegion>
#include <cstdint>

namespace mailvane::skin {

struct KeyColour
{
    std::uint32_t colour = 0xFFFFFF; // 0xRRGGBB
    std::uint32_t tolerance = 0;     // per channel, 0xRRGGBB; 0 means exact match
};

class RegionBuilder
{
public:
    // Rectangles are gathered in blocks of this many before they are turned
    // into a region and merged into the result.
    static constexpr int BlockSize = 2000;

    // Whether `value` counts as the key colour. Below the key a channel's
    // distance is (key − value − 1), so a tolerance of 1 under white admits
    // 253, 254 and 255.
    static bool isTransparent(std::uint32_t value, const KeyColour& key);

    // The region of the non-key pixels of `image` (any format), empty when
    // there are none.
    static QRegion fromImage(const QImage& image, const KeyColour& key);
};

} // namespace mailvane::skin
