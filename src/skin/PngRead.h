#pragma once

// Reading a PNG from bytes already in memory with libpng, shared by both PNG
// routes: one read's structures, freed with it, fed from the bytes.

#include <QByteArray>
#include <png.h>

namespace mailvane::skin {

// The PNG signature is the first 8 bytes of every PNG stream.
inline constexpr int PngSignatureSize = 8;

// Whether `bytes` begin with the PNG signature.
bool hasPngSignature(const QByteArray& bytes);

// One libpng read over `bytes` (which must outlive it, and whose signature
// the caller has checked): the read and info structures, reading from just
// past the signature. A read past the end of the bytes raises the decoder
// error "Read Error". `onError`, when given, takes the place of libpng's own
// error handler. The caller sets the jump point (setjmp) before reading.
class PngRead
{
public:
    explicit PngRead(const QByteArray& bytes, png_error_ptr onError = nullptr);
    ~PngRead();
    PngRead(const PngRead&) = delete;
    PngRead& operator=(const PngRead&) = delete;

    // False when libpng could not make its structures; nothing may be read then.
    bool isValid() const { return m_png && m_info; }
    png_structp png() const { return m_png; }
    png_infop info() const { return m_info; }

private:
    struct Source
    {
        const png_byte* data = nullptr;
        png_size_t size = 0;
        png_size_t cursor = 0;
    };

    static void readFromMemory(png_structp png, png_bytep out, png_size_t count);

    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
    Source m_source;
};

} // namespace mailvane::skin
