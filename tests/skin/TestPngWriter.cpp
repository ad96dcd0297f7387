#include "TestPngWriter.h"

#include <png.h>
#include <stdexcept>

namespace mailvane::test {
namespace {

void appendToArray(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<QByteArray*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void flushNothing(png_structp) {}

} // namespace

QByteArray encodeTestPng(const TestPng& picture)
{
    QByteArray out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("test PNG could not be written");
    }
    png_set_write_fn(png, &out, appendToArray, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
                 static_cast<png_uint_32>(picture.height), picture.bitDepth, picture.colourType,
                 picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < picture.palette.size(); i += 3)
        palette.push_back({picture.palette[i], picture.palette[i + 1], picture.palette[i + 2]});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!picture.paletteAlpha.empty())
        png_set_tRNS(png, info, picture.paletteAlpha.data(),
                     static_cast<int>(picture.paletteAlpha.size()), nullptr);
    png_color_16 key{};
    if (picture.transparentGrey) {
        key.gray = *picture.transparentGrey;
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    if (picture.transparentRed) {
        key.red = *picture.transparentRed;
        key.green = picture.transparentGreen.value_or(0);
        key.blue = picture.transparentBlue.value_or(0);
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    if (picture.gamma)
        png_set_gAMA(png, info, *picture.gamma);
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (const auto& row : picture.rows)
        rows.push_back(const_cast<png_bytep>(row.data()));
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace mailvane::test
