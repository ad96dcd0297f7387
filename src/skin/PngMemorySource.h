#pragma once

// Feeding libpng from bytes already in memory, shared by both PNG routes.

#include <QByteArray>
#include <png.h>

namespace mailvane::skin {

// The PNG signature is the first 8 bytes of every PNG stream.
inline constexpr int PngSignatureSize = 8;

struct PngMemorySource
{
    const png_byte* data = nullptr;
    png_size_t size = 0;
    png_size_t cursor = 0; // starts past the signature, which the caller checked
};

// Whether `bytes` begin with the PNG signature.
bool hasPngSignature(const QByteArray& bytes);

// A source over `bytes` (which must outlive it) whose cursor stands past the signature.
PngMemorySource pngSourceAfterSignature(const QByteArray& bytes);

// libpng read callback over a PngMemorySource; a read past the end raises
// the decoder error "Read Error".
void readPngFromMemory(png_structp png, png_bytep out, png_size_t count);

} // namespace mailvane::skin
