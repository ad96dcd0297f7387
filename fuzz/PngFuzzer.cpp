// Both PNG routes: whatever the bytes, a decoded picture keeps within the
// picture limit, and its mask is exactly 255 − alpha of each pixel, read here
// from the colour image (display route) or present in the picture's own size
// (raw route). MAILVANE_PNG_ROUTE picks the route of the target.

#include "Dib24.h"
#include "DisplayPngDecoder.h"
#include "FuzzCheck.h"
#include "PictureLimits.h"
#include "RawPngDecoder.h"

using namespace mailvane::skin;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
#if MAILVANE_PNG_ROUTE == 1
    const auto png = DisplayPngDecoder::decode(bytes);
    if (!png)
        return 0;
    const QImage& colour = png->colour;
    FUZZ_CHECK(colour.format() == QImage::Format_ARGB32 ||
               colour.format() == QImage::Format_BGR888);
    FUZZ_CHECK(png->mask.isNull() == (colour.format() == QImage::Format_BGR888));
    if (!png->mask.isNull()) {
        FUZZ_CHECK(png->mask.size() == colour.size());
        for (int y = 0; y < colour.height(); ++y) {
            for (int x = 0; x < colour.width(); ++x) {
                const uchar alpha = colour.constScanLine(y)[4 * x + 3];
                const uchar* mask = png->mask.constScanLine(y) + 3 * x;
                FUZZ_CHECK(mask[0] == 255 - alpha && mask[1] == mask[0] && mask[2] == mask[0]);
            }
        }
    }
#else
    const auto png = RawPngDecoder::decode(bytes);
    if (!png)
        return 0;
    const QImage& colour = png->colour;
    FUZZ_CHECK(colour.format() == dib::SectionFormat);
    FUZZ_CHECK(png->mask.isNull() || png->mask.size() == colour.size());
#endif
    FUZZ_CHECK(!colour.isNull());
    FUZZ_CHECK(isWithinPictureLimit(colour.width(), colour.height()));
    return 0;
}
