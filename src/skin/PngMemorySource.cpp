#include "PngMemorySource.h"

#include "PictureLimits.h"

#include <cstring>

namespace mailvane::skin {

bool hasPngSignature(const QByteArray& bytes)
{
    return bytes.size() >= PngSignatureSize &&
           png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.constData()), 0, PngSignatureSize) ==
               0;
}

bool hasPngWithinPictureLimit(const QByteArray& bytes)
{
    // Signature, then the header chunk: length, "IHDR", width, height.
    constexpr qsizetype HeaderType = PngSignatureSize + 4;
    constexpr qsizetype Width = HeaderType + 4;
    constexpr qsizetype Height = Width + 4;
    if (bytes.size() < Height + 4 || bytes.mid(HeaderType, 4) != "IHDR")
        return true;
    const auto number = [&bytes](qsizetype at) {
        return qint64{png_get_uint_32(reinterpret_cast<png_const_bytep>(bytes.constData() + at))};
    };
    return isWithinPictureLimit(number(Width), number(Height));
}

PngMemorySource pngSourceAfterSignature(const QByteArray& bytes)
{
    return {reinterpret_cast<const png_byte*>(bytes.constData()),
            static_cast<png_size_t>(bytes.size()), PngSignatureSize};
}

void readPngFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    auto* source = static_cast<PngMemorySource*>(png_get_io_ptr(png));
    if (count > source->size - source->cursor)
        png_error(png, "Read Error");
    std::memcpy(out, source->data + source->cursor, count);
    source->cursor += count;
}

} // namespace mailvane::skin
