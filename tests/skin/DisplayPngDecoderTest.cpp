#include "DisplayPngDecoder.h"

#include "PictureLimits.h"
#include "RawPngDecoder.h"
#include "TestPngWriter.h"
#include "TraceCapture.h"

#include <QFile>
#include <gtest/gtest.h>
#include <png.h>

namespace mailvane::skin {
namespace {

using test::encodeTestPng;
using test::TestPng;

// Bytes of pixel x in row y of a decoded image (3 or 4 per pixel).
std::vector<int> pixelBytes(const QImage& image, int x, int y)
{
    const int size = image.depth() / 8;
    const uchar* p = image.constScanLine(y) + x * size;
    return std::vector<int>(p, p + size);
}

TestPng rgbRow(std::vector<std::uint8_t> bytes, int width)
{
    TestPng png;
    png.width = width;
    png.colourType = PNG_COLOR_TYPE_RGB;
    png.rows = {std::move(bytes)};
    return png;
}

TEST(DisplayPngDecoder, rgbComesOutAsBgrWithoutMask)
{
    const auto decoded =
        DisplayPngDecoder::decode(encodeTestPng(rgbRow({10, 20, 30, 200, 150, 100}, 2)));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->colour.format(), QImage::Format_BGR888);
    EXPECT_EQ(decoded->colour.depth(), 24);
    EXPECT_TRUE(decoded->mask.isNull());
    EXPECT_EQ(pixelBytes(decoded->colour, 0, 0), (std::vector<int>{30, 20, 10}));
    EXPECT_EQ(pixelBytes(decoded->colour, 1, 0), (std::vector<int>{100, 150, 200}));
}

TEST(DisplayPngDecoder, rowsArePaddedToFourBytes)
{
    TestPng png;
    png.width = 5;
    png.height = 2;
    png.rows = {std::vector<std::uint8_t>(15, 7), std::vector<std::uint8_t>(15, 9)};
    const auto decoded = DisplayPngDecoder::decode(encodeTestPng(png));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->colour.bytesPerLine(), 16);
    EXPECT_EQ(decoded->colour.constScanLine(1)[0], 9); // top-down
}

TEST(DisplayPngDecoder, paletteIsExpandedAndItsTransparencyBecomesMask)
{
    TestPng png;
    png.width = 3;
    png.colourType = PNG_COLOR_TYPE_PALETTE;
    png.palette = {255, 0, 0, 0, 128, 0, 1, 2, 3};
    png.paletteAlpha = {0, 100}; // third entry stays opaque
    png.rows = {{0, 1, 2}};
    const auto decoded = DisplayPngDecoder::decode(encodeTestPng(png));
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->colour.depth(), 32);
    EXPECT_EQ(pixelBytes(decoded->colour, 0, 0), (std::vector<int>{0, 0, 255, 0}));
    EXPECT_EQ(pixelBytes(decoded->colour, 1, 0), (std::vector<int>{0, 128, 0, 100}));
    EXPECT_EQ(pixelBytes(decoded->colour, 2, 0), (std::vector<int>{3, 2, 1, 255}));
    ASSERT_EQ(decoded->mask.depth(), 24);
    EXPECT_EQ(pixelBytes(decoded->mask, 0, 0), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(pixelBytes(decoded->mask, 1, 0), (std::vector<int>{155, 155, 155}));
    EXPECT_EQ(pixelBytes(decoded->mask, 2, 0), (std::vector<int>{0, 0, 0}));
}

TEST(DisplayPngDecoder, paletteWithoutTransparencyHasNoMask)
{
    TestPng png;
    png.width = 2;
    png.colourType = PNG_COLOR_TYPE_PALETTE;
    png.bitDepth = 1;
    png.palette = {9, 8, 7, 6, 5, 4};
    png.rows = {{0x40}}; // pixels 0, 1
    const auto decoded = DisplayPngDecoder::decode(encodeTestPng(png));
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->mask.isNull());
    EXPECT_EQ(pixelBytes(decoded->colour, 0, 0), (std::vector<int>{7, 8, 9}));
    EXPECT_EQ(pixelBytes(decoded->colour, 1, 0), (std::vector<int>{4, 5, 6}));
}

struct LowDepthGrey
{
    int bitDepth;
    std::uint8_t packed;
    std::vector<int> levels;
};

class PngDecoderLowDepthGrey : public ::testing::TestWithParam<LowDepthGrey>
{};

TEST_P(PngDecoderLowDepthGrey, isScaledToFullRangeRgb)
{
    const LowDepthGrey& c = GetParam();
    TestPng png;
    png.width = static_cast<int>(c.levels.size());
    png.colourType = PNG_COLOR_TYPE_GRAY;
    png.bitDepth = c.bitDepth;
    png.rows = {{c.packed}};
    const auto decoded = DisplayPngDecoder::decode(encodeTestPng(png));
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->colour.depth(), 24);
    for (size_t x = 0; x < c.levels.size(); ++x) {
        const int v = c.levels[x];
        EXPECT_EQ(pixelBytes(decoded->colour, static_cast<int>(x), 0), (std::vector<int>{v, v, v}))
            << "pixel " << x;
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, PngDecoderLowDepthGrey,
                         ::testing::Values(LowDepthGrey{1, 0b10100000, {255, 0, 255}},
                                           LowDepthGrey{2, 0b00011011, {0, 85, 170, 255}},
                                           LowDepthGrey{4, 0x0F, {0, 255}}),
                         [](const auto& info) {
                             return "depth" + std::to_string(info.param.bitDepth);
                         });

TEST(DisplayPngDecoder, greyWithTransparentKeyGetsAlpha)
{
    TestPng png;
    png.width = 2;
    png.colourType = PNG_COLOR_TYPE_GRAY;
    png.transparentGrey = 50;
    png.rows = {{50, 51}};
    const auto decoded = DisplayPngDecoder::decode(encodeTestPng(png));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(pixelBytes(decoded->colour, 0, 0), (std::vector<int>{50, 50, 50, 0}));
    EXPECT_EQ(pixelBytes(decoded->colour, 1, 0), (std::vector<int>{51, 51, 51, 255}));
    EXPECT_EQ(pixelBytes(decoded->mask, 0, 0), (std::vector<int>{255, 255, 255}));
}

TEST(DisplayPngDecoder, greyAlphaBecomesBgra)
{
    TestPng png;
    png.width = 1;
    png.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    png.rows = {{77, 33}};
    const auto decoded = DisplayPngDecoder::decode(encodeTestPng(png));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(pixelBytes(decoded->colour, 0, 0), (std::vector<int>{77, 77, 77, 33}));
    EXPECT_EQ(pixelBytes(decoded->mask, 0, 0), (std::vector<int>{222, 222, 222}));
}

TEST(DisplayPngDecoder, rgbColourKeyGetsAlpha)
{
    TestPng png = rgbRow({1, 2, 3, 1, 2, 4}, 2);
    png.transparentRed = 1;
    png.transparentGreen = 2;
    png.transparentBlue = 3;
    const auto decoded = DisplayPngDecoder::decode(encodeTestPng(png));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(pixelBytes(decoded->colour, 0, 0), (std::vector<int>{3, 2, 1, 0}));
    EXPECT_EQ(pixelBytes(decoded->colour, 1, 0), (std::vector<int>{4, 2, 1, 255}));
}

TEST(DisplayPngDecoder, sixteenBitChannelsKeepTheirHighByte)
{
    TestPng png;
    png.width = 1;
    png.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    png.bitDepth = 16;
    png.rows = {{0xAB, 0xCD, 0x12, 0xFF, 0x80, 0x01, 0x40, 0x7F}};
    const auto decoded = DisplayPngDecoder::decode(encodeTestPng(png));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(pixelBytes(decoded->colour, 0, 0), (std::vector<int>{0x80, 0x12, 0xAB, 0x40}));
    EXPECT_EQ(pixelBytes(decoded->mask, 0, 0), (std::vector<int>{0xBF, 0xBF, 0xBF}));
}

TEST(DisplayPngDecoder, sixteenBitGreyKeyMatchesAllSixteenBits)
{
    TestPng png;
    png.width = 2;
    png.colourType = PNG_COLOR_TYPE_GRAY;
    png.bitDepth = 16;
    png.transparentGrey = 0x1234;
    png.rows = {{0x12, 0x34, 0x12, 0x35}};
    const auto decoded = DisplayPngDecoder::decode(encodeTestPng(png));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(pixelBytes(decoded->colour, 0, 0), (std::vector<int>{0x12, 0x12, 0x12, 0}));
    EXPECT_EQ(pixelBytes(decoded->colour, 1, 0), (std::vector<int>{0x12, 0x12, 0x12, 255}));
}

TEST(DisplayPngDecoder, interlacedPaletteWithTransparencyKeepsEveryPixel)
{
    TestPng png;
    png.width = 5;
    png.height = 5;
    png.interlaced = true;
    png.colourType = PNG_COLOR_TYPE_PALETTE;
    png.bitDepth = 2;
    png.palette = {0, 0, 0, 10, 20, 30, 40, 50, 60, 70, 80, 90};
    png.paletteAlpha = {255, 0, 128, 255};
    for (int y = 0; y < 5; ++y) {
        std::uint8_t packed[2] = {0, 0};
        for (int x = 0; x < 5; ++x)
            packed[x / 4] |= static_cast<std::uint8_t>(((x + y) % 4) << (6 - 2 * (x % 4)));
        png.rows.push_back({packed[0], packed[1]});
    }
    const auto decoded = DisplayPngDecoder::decode(encodeTestPng(png));
    ASSERT_TRUE(decoded);
    const int alpha[] = {255, 0, 128, 255};
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            const int i = (x + y) % 4;
            ASSERT_EQ(
                pixelBytes(decoded->colour, x, y),
                (std::vector<int>{30 * i, 30 * i - (i ? 10 : 0), 30 * i - (i ? 20 : 0), alpha[i]}))
                << x << "," << y;
            ASSERT_EQ(pixelBytes(decoded->mask, x, y)[0], 255 - alpha[i]);
        }
    }
}

TEST(DisplayPngDecoder, interlacedImageIsAssembledFromAllPasses)
{
    TestPng png;
    png.width = 9;
    png.height = 9;
    png.interlaced = true;
    for (int y = 0; y < 9; ++y) {
        std::vector<std::uint8_t> row;
        for (int x = 0; x < 9; ++x) {
            row.push_back(static_cast<std::uint8_t>(x * 20));
            row.push_back(static_cast<std::uint8_t>(y * 20));
            row.push_back(static_cast<std::uint8_t>(x + y));
        }
        png.rows.push_back(row);
    }
    const auto decoded = DisplayPngDecoder::decode(encodeTestPng(png));
    ASSERT_TRUE(decoded);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(pixelBytes(decoded->colour, x, y), (std::vector<int>{x + y, y * 20, x * 20}))
                << x << "," << y;
}

TEST(DisplayPngDecoder, fileGammaIsHonoured)
{
    TestPng linear = rgbRow({64, 0, 255}, 1);
    linear.gamma = 1.0;
    const auto brightened = DisplayPngDecoder::decode(encodeTestPng(linear));
    ASSERT_TRUE(brightened);
    // 255 * (64 / 255) ^ (1 / 2.2) is 136.04.
    EXPECT_NEAR(pixelBytes(brightened->colour, 0, 0)[2], 136, 1);
    EXPECT_EQ(pixelBytes(brightened->colour, 0, 0)[1], 0);
    EXPECT_EQ(pixelBytes(brightened->colour, 0, 0)[0], 255);

    TestPng display = rgbRow({64, 0, 255}, 1);
    display.gamma = 0.45455;
    const auto unchanged = DisplayPngDecoder::decode(encodeTestPng(display));
    ASSERT_TRUE(unchanged);
    EXPECT_EQ(pixelBytes(unchanged->colour, 0, 0), (std::vector<int>{255, 0, 64}));
}

TEST(DisplayPngDecoder, truncatedDataFailsWithReadError)
{
    const QByteArray whole = encodeTestPng(rgbRow({1, 2, 3}, 1));
    for (qsizetype cut : {qsizetype(9), qsizetype(20), whole.size() - 13, whole.size() - 1}) {
        test::TraceCapture trace;
        EXPECT_FALSE(DisplayPngDecoder::decode(whole.left(cut))) << "cut at " << cut;
        EXPECT_TRUE(trace.lines().contains(QStringLiteral("Read Error"))) << "cut at " << cut;
    }
}

TEST(DisplayPngDecoder, rejectsDataWithoutSignature)
{
    EXPECT_FALSE(DisplayPngDecoder::decode(QByteArray()));
    EXPECT_FALSE(DisplayPngDecoder::decode(QByteArray("\x89PNG\r\n", 6)));
    QByteArray bmp = encodeTestPng(rgbRow({1, 2, 3}, 1));
    bmp[1] = 'Q';
    EXPECT_FALSE(DisplayPngDecoder::decode(bmp));
}

TEST(DisplayPngDecoder, damagedHeaderIsRejected)
{
    QByteArray png = encodeTestPng(rgbRow({1, 2, 3}, 1));
    png[17] = static_cast<char>(png[17] ^ 0x40); // inside the IHDR chunk, so its CRC fails
    EXPECT_FALSE(DisplayPngDecoder::decode(png));
}

// Both routes in one file: they share one result type and one mask rule, and
// the raw route takes every sample value as stored.
TEST(PngRoutes, bothGiveInverseAlphaAndTheRawRouteKeepsEverySample)
{
    TestPng png;
    png.width = 256;
    png.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    png.gamma = 1.0 / 2.2; // encoded for the display, so no correction applies
    std::vector<std::uint8_t> row;
    for (int i = 0; i < 256; ++i)
        row.insert(row.end(),
                   {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i), std::uint8_t(i)});
    png.rows = {row};
    const QByteArray bytes = encodeTestPng(png);
    const std::optional<DecodedPng> display = DisplayPngDecoder::decode(bytes);
    const std::optional<DecodedPng> raw = RawPngDecoder::decode(bytes);
    ASSERT_TRUE(display && raw);
    EXPECT_EQ(raw->colour.format(), QImage::Format_BGR888);
    for (const QImage* mask : {&display->mask, &raw->mask}) {
        ASSERT_EQ(mask->format(), QImage::Format_BGR888);
        ASSERT_EQ(mask->width(), 256);
    }
    for (int i = 0; i < 256; ++i) {
        const int transparency = 255 - i;
        EXPECT_EQ(pixelBytes(display->mask, i, 0),
                  (std::vector<int>{transparency, transparency, transparency}));
        EXPECT_EQ(pixelBytes(raw->mask, i, 0),
                  (std::vector<int>{transparency, transparency, transparency}));
        EXPECT_EQ(pixelBytes(raw->colour, i, 0), (std::vector<int>{i, 255 - i, i})) << i;
    }
}

TEST(PngRoutes, bothDecodeUpToThePictureLimitAndRefuseOnePixelRowMore)
{
    ASSERT_EQ(MaxPicturePixels, qint64{4096} * 4096);
    // An RGB image of 4096 columns, at the limit and one row past it.
    const auto image = [](int height) {
        TestPng png;
        png.width = 4096;
        png.height = height;
        png.colourType = PNG_COLOR_TYPE_RGB;
        png.rows.assign(static_cast<std::size_t>(height),
                        std::vector<std::uint8_t>(3 * 4096, 0x40));
        return encodeTestPng(png);
    };
    const QByteArray atLimit = image(4096);
    const auto display = DisplayPngDecoder::decode(atLimit);
    ASSERT_TRUE(display);
    EXPECT_EQ(display->colour.size(), QSize(4096, 4096));
    const auto raw = RawPngDecoder::decode(atLimit);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->colour.size(), QSize(4096, 4096));

    const QByteArray pastLimit = image(4097);
    EXPECT_FALSE(DisplayPngDecoder::decode(pastLimit));
    EXPECT_FALSE(RawPngDecoder::decode(pastLimit));
}

// Found by fuzz/PngFuzzer.cpp: a header claiming 4294967295 x 4294967295
// overflowed the size check's product before it could refuse the picture.
TEST(PngRoutes, headerOfAnyStatedSizeIsCheckedWithoutOverflow)
{
    QFile file(QStringLiteral(MAILVANE_TEST_DATA_DIR "/png-header-size-overflowing-product.png"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_FALSE(DisplayPngDecoder::decode(bytes));
    EXPECT_FALSE(RawPngDecoder::decode(bytes));
    EXPECT_FALSE(isWithinPictureLimit(0xFFFFFFFFll, 0xFFFFFFFFll));
    EXPECT_FALSE(isWithinPictureLimit(MaxPicturePixels + 1, 1));
    EXPECT_TRUE(isWithinPictureLimit(MaxPicturePixels, 1));
}

} // namespace
} // namespace mailvane::skin
