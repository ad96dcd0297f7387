#include "PngMemorySource.h"

#include <cstring>

namespace mailvane::skin {

bool hasPngSignature(const QByteArray& bytes)
{
    return bytes.size() >= PngSignatureSize &&
           png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.constData()), 0, PngSignatureSize) ==
               0;
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
