#include "MonoBitmapDecoder.h"

#include "ImageFixtures.h"

#include <gtest/gtest.h>

using mailvane::skin::MonoBitmapDecoder;
using mailvane::test::sectionPixel;

namespace {

constexpr std::uint32_t White = 0xFFFFFF;
constexpr std::uint32_t Black = 0x000000;

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

TEST(MonoBitmapDecoder, wbmpRowsArePaddedAndSetBitsAreWhite)
{
    // 10 × 2: each row takes two bytes, most significant bit first.
    const QImage image =
        MonoBitmapDecoder::decodeWbmp(bytes({0, 0, 10, 2, 0x80, 0x40, 0x00, 0xC0}));
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.size(), QSize(10, 2));
    EXPECT_EQ(sectionPixel(image, 0, 0), White);
    EXPECT_EQ(sectionPixel(image, 1, 0), Black);
    EXPECT_EQ(sectionPixel(image, 8, 0), Black);
    EXPECT_EQ(sectionPixel(image, 9, 0), White);
    EXPECT_EQ(sectionPixel(image, 0, 1), Black);
    EXPECT_EQ(sectionPixel(image, 7, 1), Black);
    EXPECT_EQ(sectionPixel(image, 8, 1), White);
    EXPECT_EQ(sectionPixel(image, 9, 1), White);
}

TEST(MonoBitmapDecoder, otaBitsRunOnWithoutPaddingAndSetBitsAreBlack)
{
    // 3 × 3 diagonal: bits 100 010 001 → 1000 1000 1(000 0000).
    const QImage image = MonoBitmapDecoder::decodeOta(bytes({0, 3, 3, 1, 0x88, 0x80}));
    ASSERT_FALSE(image.isNull());
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(sectionPixel(image, x, y), x == y ? Black : White) << x << ',' << y;
    }
}

TEST(MonoBitmapDecoder, malformedFilesAreRefused)
{
    EXPECT_TRUE(MonoBitmapDecoder::decodeWbmp(bytes({0, 0, 10, 2, 0x80, 0x40, 0x00})).isNull());
    EXPECT_TRUE(MonoBitmapDecoder::decodeWbmp(bytes({1, 0, 1, 1, 0x80})).isNull());
    EXPECT_TRUE(MonoBitmapDecoder::decodeWbmp(bytes({0, 0})).isNull());
    EXPECT_TRUE(MonoBitmapDecoder::decodeOta(bytes({0, 3, 3, 1, 0x88})).isNull());
    EXPECT_TRUE(MonoBitmapDecoder::decodeOta(bytes({0, 3, 3, 2, 0x88, 0x80})).isNull());

    QByteArray oversized = bytes({0, 0, 8, 1, 0xFF});
    oversized.append(QByteArray(MonoBitmapDecoder::MaxFileSize, '\0'));
    EXPECT_TRUE(MonoBitmapDecoder::decodeWbmp(oversized).isNull());
}

} // namespace
