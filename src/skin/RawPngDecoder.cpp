#include "RawPngDecoder.h"

#include "Dib24.h"
#include "PictureGate.h"
#include "PngRead.h"

#include <png.h>

namespace mailvane::skin {
namespace {

// Everything that can make libpng jump back happens in here, where no object
// with a destructor lives.
bool readWholeImage(png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}

DecodedPng convertRows(png_structp png, png_infop info)
{
    const int width = int(png_get_image_width(png, info));
    const int height = int(png_get_image_height(png, info));
    const int channels = png_get_channels(png, info);
    const int sampleBytes = png_get_bit_depth(png, info) / 8; // high byte first
    const int pixelBytes = channels * sampleBytes;
    const png_bytepp rows = png_get_rows(png, info);

    DecodedPng result;
    result.colour = dib::newSection(width, height);
    if (channels == 4)
        result.mask = dib::newSection(width, height);
    if (result.colour.isNull() || (channels == 4 && result.mask.isNull()))
        return {};
    for (int y = 0; y < height; ++y) {
        const png_byte* in = rows[y];
        uchar* colour = result.colour.scanLine(y);
        uchar* mask = channels == 4 ? result.mask.scanLine(y) : nullptr;
        for (int x = 0; x < width; ++x, in += pixelBytes) {
            colour[3 * x + 0] = in[2 * sampleBytes];
            colour[3 * x + 1] = in[sampleBytes];
            colour[3 * x + 2] = in[0];
        }
        if (mask)
            writeInverseAlphaRow(rows[y] + 3 * sampleBytes, pixelBytes, width, mask);
    }
    return result;
}

} // namespace

std::optional<DecodedPng> RawPngDecoder::decode(const QByteArray& bytes)
{
    if (!hasPngSignature(bytes) || !PictureGate::admits(PictureFormat::Png, bytes))
        return std::nullopt;
    PngRead read(bytes);
    if (!read.isValid())
        return std::nullopt;
    png_structp png = read.png();
    png_infop info = read.info();
    std::optional<DecodedPng> result;
    if (readWholeImage(png, info)) {
        const int colourType = png_get_color_type(png, info);
        const int depth = png_get_bit_depth(png, info);
        // Grey images with alpha reach 32 bits per pixel at depth 16 but have
        // no red, green and blue samples to read; only colour images qualify.
        const bool colour =
            colourType == PNG_COLOR_TYPE_RGB || colourType == PNG_COLOR_TYPE_RGB_ALPHA;
        if (colour && (depth == 8 || depth == 16)) {
            DecodedPng decoded = convertRows(png, info);
            if (!decoded.colour.isNull())
                result = std::move(decoded);
        }
    }
    return result;
}

} // namespace mailvane::skin
