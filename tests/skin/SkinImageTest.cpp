#include "SkinImage.h"

#include "TestPngWriter.h"
#include "TestResourceBundle.h"

#include <gtest/gtest.h>
#include <png.h>

namespace mailvane::skin {
namespace {

QByteArray pngWithAlpha(int alpha)
{
    test::TestPng png;
    png.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    png.rows = {{10, 20, 30, static_cast<std::uint8_t>(alpha)}};
    return test::encodeTestPng(png);
}

QByteArray pngWithoutAlpha()
{
    test::TestPng png;
    png.rows = {{10, 20, 30}};
    return test::encodeTestPng(png);
}

class SkinImageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QImage bitmap(3, 2, QImage::Format_RGB32);
        bitmap.fill(qRgb(7, 8, 9));
        bundle.addBitmap(QStringLiteral("140"), bitmap);
        bundle.add(QStringLiteral("PNG"), QStringLiteral("140.png"), pngWithAlpha(9));
        bundle.add(QStringLiteral("PNG"), QStringLiteral("137.png"), pngWithAlpha(55));
        bundle.add(QStringLiteral("PNG"), QStringLiteral("138.png"), pngWithoutAlpha());
        bundle.add(QStringLiteral("PNG"), QStringLiteral("139.png"), pngWithAlpha(1).left(30));
        library = bundle.load();
        ASSERT_FALSE(library.isEmpty());
    }
    test::TestResourceBundle bundle;
    platform::LibraryHandle library;
};

TEST_F(SkinImageTest, bitmapIsPreferredAndHasNoMask)
{
    SkinImage image;
    const QImage colour = image.load(library, 140);
    EXPECT_EQ(colour.size(), QSize(3, 2));
    EXPECT_EQ(colour.pixel(2, 1) & 0xFFFFFF, qRgb(7, 8, 9) & 0xFFFFFF);
    EXPECT_TRUE(image.mask().isNull());
}

TEST_F(SkinImageTest, pngWithAlphaBringsItsMask)
{
    SkinImage image;
    ASSERT_FALSE(image.load(library, 137).isNull());
    EXPECT_EQ(image.colour().depth(), 32);
    ASSERT_FALSE(image.mask().isNull());
    EXPECT_EQ(image.mask().constScanLine(0)[0], 200);
}

TEST_F(SkinImageTest, pngWithoutAlphaIsTwentyFourBitWithoutMask)
{
    SkinImage image;
    ASSERT_FALSE(image.load(library, 138).isNull());
    EXPECT_EQ(image.colour().depth(), 24);
    EXPECT_TRUE(image.mask().isNull());
}

TEST_F(SkinImageTest, missingOrBrokenPictureLoadsNullAndDropsThePreviousOne)
{
    SkinImage image;
    ASSERT_FALSE(image.load(library, 137).isNull());
    EXPECT_TRUE(image.load(library, 139).isNull()); // cut short
    EXPECT_TRUE(image.mask().isNull());
    EXPECT_TRUE(image.load(library, 999).isNull());
    EXPECT_TRUE(image.load(platform::LibraryHandle(), 140).isNull());
}

TEST_F(SkinImageTest, takingLeavesNullBehind)
{
    SkinImage image;
    image.load(library, 137);
    const QImage colour = image.takeColour();
    const QImage mask = image.takeMask();
    EXPECT_FALSE(colour.isNull());
    EXPECT_FALSE(mask.isNull());
    EXPECT_TRUE(image.colour().isNull());
    EXPECT_TRUE(image.mask().isNull());
}

} // namespace
} // namespace mailvane::skin
