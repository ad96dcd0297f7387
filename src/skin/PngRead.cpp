#include "PngRead.h"

#include <cstring>

namespace mailvane::skin {

bool hasPngSignature(const QByteArray& bytes)
{
    return bytes.size() >= PngSignatureSize &&
           png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.constData()), 0, PngSignatureSize) ==
               0;
}

PngRead::PngRead(const QByteArray& bytes, png_error_ptr onError)
    : m_source{reinterpret_cast<const png_byte*>(bytes.constData()),
               static_cast<png_size_t>(bytes.size()), PngSignatureSize}
{
    m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, nullptr);
    if (!m_png)
        return;
    m_info = png_create_info_struct(m_png);
    if (!m_info)
        return;
    png_set_read_fn(m_png, &m_source, readFromMemory);
    png_set_sig_bytes(m_png, PngSignatureSize);
}

PngRead::~PngRead()
{
    if (m_png)
        png_destroy_read_struct(&m_png, m_info ? &m_info : nullptr, nullptr);
}

void PngRead::readFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (count > source->size - source->cursor)
        png_error(png, "Read Error");
    std::memcpy(out, source->data + source->cursor, count);
    source->cursor += count;
}

} // namespace mailvane::skin
