// The one-bit phone formats: a decoded WBMP or OTA bitmap has the size its
// header gives, and each pixel is the bit the file holds for it, read here
// from the file again with the formats' own bit order.

#include "Dib24.h"
#include "FuzzCheck.h"
#include "MonoBitmapDecoder.h"

using namespace mailvane::skin;

namespace {

bool bit(const QByteArray& bytes, qsizetype index)
{
    return (static_cast<std::uint8_t>(bytes.at(4 + index / 8)) >> (7 - index % 8)) & 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const QImage wbmp = MonoBitmapDecoder::decodeWbmp(bytes);
    if (!wbmp.isNull()) {
        FUZZ_CHECK(bytes.size() <= MonoBitmapDecoder::MaxFileSize);
        FUZZ_CHECK(wbmp.width() == static_cast<std::uint8_t>(bytes.at(2)));
        FUZZ_CHECK(wbmp.height() == static_cast<std::uint8_t>(bytes.at(3)));
        const qsizetype rowBits = (wbmp.width() + 7) / 8 * 8;
        for (int y = 0; y < wbmp.height(); ++y) {
            for (int x = 0; x < wbmp.width(); ++x) {
                const std::uint32_t pixel = dib::pixelValue(wbmp.constScanLine(y) + 3 * x);
                FUZZ_CHECK(pixel == (bit(bytes, y * rowBits + x) ? 0xFFFFFFu : 0u));
            }
        }
    }

    const QImage ota = MonoBitmapDecoder::decodeOta(bytes);
    if (!ota.isNull()) {
        FUZZ_CHECK(bytes.size() <= MonoBitmapDecoder::MaxFileSize);
        FUZZ_CHECK(ota.width() == static_cast<std::uint8_t>(bytes.at(1)));
        FUZZ_CHECK(ota.height() == static_cast<std::uint8_t>(bytes.at(2)));
        for (int y = 0; y < ota.height(); ++y) {
            for (int x = 0; x < ota.width(); ++x) {
                const std::uint32_t pixel = dib::pixelValue(ota.constScanLine(y) + 3 * x);
                FUZZ_CHECK(pixel == (bit(bytes, qsizetype(y) * ota.width() + x) ? 0u : 0xFFFFFFu));
            }
        }
    }
    return 0;
}
