#include "RegionBuilder.h"

#include "Dib24.h"

#include <gtest/gtest.h>

using mailvane::skin::KeyColour;
using mailvane::skin::RegionBuilder;
namespace dib = mailvane::skin::dib;

namespace {

constexpr KeyColour WhiteWithinOne{0xFFFFFF, 0x010101};

struct ToleranceCase
{
    std::uint32_t value;
    KeyColour key;
    bool transparent;
};

class RegionTolerance : public testing::TestWithParam<ToleranceCase>
{};

TEST_P(RegionTolerance, channelDistanceDecidesTransparency)
{
    const ToleranceCase& c = GetParam();
    EXPECT_EQ(RegionBuilder::isTransparent(c.value, c.key), c.transparent);
}

INSTANTIATE_TEST_SUITE_P(KeyColours, RegionTolerance,
                         testing::Values(
                             // Below the key the distance is key − value − 1, so 253 still matches.
                             ToleranceCase{0xFFFFFF, WhiteWithinOne, true},
                             ToleranceCase{0xFEFEFE, WhiteWithinOne, true},
                             ToleranceCase{0xFDFDFD, WhiteWithinOne, true},
                             ToleranceCase{0xFCFCFC, WhiteWithinOne, false},
                             ToleranceCase{0xFDFFFF, WhiteWithinOne, true},
                             ToleranceCase{0xFFFCFF, WhiteWithinOne, false},
                             // Each channel has its own tolerance.
                             ToleranceCase{0x80FF00, {0x808080, 0x007F7F}, true},
                             ToleranceCase{0x80FF00, {0x808080, 0x007F7E}, false},
                             ToleranceCase{0x81FF00, {0x808080, 0x007F7F}, false},
                             ToleranceCase{0x80FF01, {0x808080, 0x007F7E}, true},
                             // Without tolerance only the exact colour matches.
                             ToleranceCase{0xFFFFFF, {0xFFFFFF, 0}, true},
                             ToleranceCase{0xFEFFFF, {0xFFFFFF, 0}, false}));

QImage sectionFromRows(const std::vector<std::vector<std::uint32_t>>& rows)
{
    QImage section = dib::newSection(int(rows.front().size()), int(rows.size()));
    for (int y = 0; y < section.height(); ++y) {
        for (int x = 0; x < section.width(); ++x)
            dib::setPixelValue(section.scanLine(y) + 3 * x, rows[y][x]);
    }
    return section;
}

TEST(RegionBuilder, runsOfOpaquePixelsBecomeRowRectangles)
{
    constexpr std::uint32_t W = 0xFFFFFF, B = 0x000000, N = 0xFDFDFD;
    const QImage image = sectionFromRows({{W, B, B, W, B}, {N, W, W, W, W}, {B, B, B, B, B}});
    const QRegion region = RegionBuilder::fromImage(image, WhiteWithinOne);

    QRegion expected;
    expected += QRect(1, 0, 2, 1);
    expected += QRect(4, 0, 1, 1);
    expected += QRect(0, 2, 5, 1);
    EXPECT_EQ(region, expected);
}

TEST(RegionBuilder, imageOfKeyColourOnlyGivesEmptyRegion)
{
    QImage image = dib::newSection(7, 3);
    image.fill(Qt::white);
    EXPECT_TRUE(RegionBuilder::fromImage(image, {0xFFFFFF, 0}).isEmpty());
}

TEST(RegionBuilder, moreRunsThanOneBlockStillMakeOneRegion)
{
    // A checkerboard of 100 × 50 has 2500 one-pixel runs, more than a block.
    QImage image = dib::newSection(100, 50);
    image.fill(Qt::white);
    QRegion expected;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = (y % 2); x < image.width(); x += 2) {
            dib::setPixelValue(image.scanLine(y) + 3 * x, 0x102030);
            expected += QRect(x, y, 1, 1);
        }
    }
    const QRegion region = RegionBuilder::fromImage(image, {0xFFFFFF, 0});
    EXPECT_GT(2500, RegionBuilder::BlockSize);
    EXPECT_EQ(region, expected);
    EXPECT_EQ(region.rectCount(), 2500);
    EXPECT_TRUE(region.contains(QPoint(99, 49)));
    EXPECT_FALSE(region.contains(QPoint(98, 49)));
}

} // namespace
