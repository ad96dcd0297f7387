#include "DisplayPngDecoder.h"

#include "DiagnosticTrace.h"
#include "Dib24.h"
#include "PictureGate.h"
#include "PngRead.h"

#include <csetjmp>
#include <png.h>

namespace mailvane::skin {
namespace {

// Files that state no gamma are taken to be encoded for a 2.2 display.
constexpr double ScreenGamma = 2.2;
constexpr double DefaultFileGamma = 0.45455;

// Errors leave no visible output: the text goes to the trace and control
// returns to the setjmp point in decodeInto().
[[noreturn]] void onDecoderError(png_structp png, png_const_charp message)
{
    platform::diagnosticTrace(message);
    png_longjmp(png, 1);
}

void applyTransformations(png_structp png, png_infop info)
{
    const int colourType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);

    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if ((colourType & PNG_COLOR_MASK_COLOR) == 0) {
        if (bitDepth < 8)
            png_set_expand_gray_1_2_4_to_8(png);
        png_set_gray_to_rgb(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    if (colourType & PNG_COLOR_MASK_COLOR)
        png_set_bgr(png);
    if (bitDepth == 16)
        png_set_strip_16(png);

    double fileGamma = 0.0;
    if (!png_get_gAMA(png, info, &fileGamma))
        fileGamma = DefaultFileGamma;
    png_set_gamma(png, ScreenGamma, fileGamma);

    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

// Everything that may be jumped over by png_longjmp lives here: only plain
// locals, and the results are written through `colour`, whose owner sits in
// the caller's frame. Returns false on any decoder error.
bool decodeInto(png_structp png, png_infop info, QImage* colour)
{
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        delete[] rows;
        return false;
    }

    png_read_info(png, info);
    applyTransformations(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int channels = png_get_channels(png, info);
    if (channels != 3 && channels != 4)
        png_error(png, "Unexpected channel count");

    *colour = QImage(static_cast<int>(width), static_cast<int>(height),
                     channels == 4 ? QImage::Format_ARGB32 : QImage::Format_BGR888);
    if (colour->isNull())
        png_error(png, "Out of memory");
    if (static_cast<qsizetype>(png_get_rowbytes(png, info)) > colour->bytesPerLine())
        png_error(png, "Row wider than its image");

    // Every pass of an interlaced image is read into the same rows, so the
    // passes build the picture up in place.
    rows = new png_bytep[height];
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = colour->scanLine(static_cast<int>(y));
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    delete[] rows;
    rows = nullptr;
    return true;
}

} // namespace

std::optional<DecodedPng> DisplayPngDecoder::decode(const QByteArray& bytes)
{
    if (!hasPngSignature(bytes) || !PictureGate::admits(PictureFormat::Png, bytes))
        return std::nullopt;

    QImage colour;
    {
        PngRead read(bytes, onDecoderError);
        if (!read.isValid() || !decodeInto(read.png(), read.info(), &colour))
            return std::nullopt;
    }

    DecodedPng result;
    if (colour.format() == QImage::Format_ARGB32) {
        result.mask = dib::newSection(colour.width(), colour.height());
        if (result.mask.isNull())
            return std::nullopt;
        // Alpha is the fourth byte of each B, G, R, A pixel.
        for (int y = 0; y < colour.height(); ++y)
            writeInverseAlphaRow(colour.constScanLine(y) + 3, 4, colour.width(),
                                 result.mask.scanLine(y));
    }
    result.colour = std::move(colour);
    return result;
}

} // namespace mailvane::skin
