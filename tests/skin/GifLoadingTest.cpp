#include "GifComposer.h"
#include "GifParser.h"
#include "ImageFixtures.h"
#include "LayeredImage.h"
#include "PictureLimits.h"

#include <gtest/gtest.h>

using mailvane::skin::GifComposer;
using mailvane::skin::GifParser;
using mailvane::skin::LayeredImage;
using mailvane::test::GifDescription;
using mailvane::test::GifFrameDescription;
using mailvane::test::sectionPixel;

namespace {

constexpr std::uint32_t White = 0xFFFFFF;
constexpr std::uint32_t Red = 0xFF0000;
constexpr std::uint32_t Blue = 0x0000FF;
constexpr std::uint8_t W = 0, R = 1, B = 2, T = 3; // T is the transparent index

// Frame 0 paints everything red; frame 1 puts blue corners into the right
// half with transparent holes and is disposed to the background; frame 2
// paints one blue pixel top left.
GifDescription threeFrames()
{
    GifDescription description;
    description.screenWidth = 4;
    description.screenHeight = 2;
    description.palette = {qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 255, 0)};
    description.backgroundIndex = W;
    description.netscapeLoops = 3;
    description.frames = {
        GifFrameDescription{0, 0, 4, 2, {R, R, R, R, R, R, R, R}, 0, 10, -1, true},
        GifFrameDescription{2, 0, 2, 2, {B, T, T, B}, 2, 20, T, true},
        GifFrameDescription{0, 0, 1, 1, {B}, 0, 30, -1, true},
    };
    return description;
}

std::vector<std::uint32_t> pixels(const QImage& frame)
{
    std::vector<std::uint32_t> out;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x)
            out.push_back(sectionPixel(frame, x, y));
    }
    return out;
}

TEST(GifParser, findsFramesControlBytesAndLoopCount)
{
    const QByteArray file = mailvane::test::encodeGif(threeFrames());
    const auto gif = GifParser::parse(file);
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->screenWidth, 4);
    EXPECT_EQ(gif->screenHeight, 2);
    EXPECT_EQ(gif->background, qRgb(255, 255, 255));
    EXPECT_EQ(gif->loopCount, 4);
    ASSERT_EQ(gif->frames.size(), 3);
    EXPECT_EQ(gif->frames[1].disposal, 2);
    EXPECT_EQ(gif->frames[1].transparent, T);
    EXPECT_EQ(gif->frames[1].delay, 20);
    EXPECT_EQ(gif->frames[1].left, 2);
    EXPECT_EQ(gif->frames[2].transparent, -1);
    EXPECT_EQ(file.at(gif->frames[0].offset), char(0x2C));
    EXPECT_EQ(file.at(gif->frames[0].offset + gif->frames[0].length), char(0x21));
}

TEST(GifParser, truncatedFrameIsNotListed)
{
    const QByteArray file = mailvane::test::encodeGif(threeFrames());
    const auto whole = GifParser::parse(file);
    ASSERT_TRUE(whole);
    const qsizetype cut = whole->frames[2].offset + 12;
    const auto shortened = GifParser::parse(file.left(cut));
    ASSERT_TRUE(shortened);
    EXPECT_EQ(shortened->frames.size(), 2);
    EXPECT_FALSE(GifParser::parse(QByteArray("GIF89a")));
}

TEST(GifParser, fileWithoutGlobalTableReadsNoTableBytes)
{
    GifDescription description = threeFrames();
    description.palette = {qRgb(255, 255, 255), qRgb(255, 0, 0)};
    QByteArray file = mailvane::test::encodeGif(description);
    // Drop the 2-entry table and its flag; the blocks must still be found.
    file.remove(GifParser::HeaderLength, 6);
    file[10] = char(quint8(file[10]) & 0x7F);
    const auto gif = GifParser::parse(file);
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->background, qRgb(0, 0, 0));
    EXPECT_EQ(gif->frames.size(), 3);
    EXPECT_EQ(gif->loopCount, 4);
}

TEST(GifComposer, standAloneFrameCarriesItsOwnControlExtension)
{
    const QByteArray file = mailvane::test::encodeGif(threeFrames());
    const auto gif = GifParser::parse(file);
    ASSERT_TRUE(gif);
    const QByteArray second = GifComposer::standAloneFrame(file, *gif, 1);
    const qsizetype control = second.indexOf(QByteArrayView("\x21\xF9\x04", 3));
    ASSERT_GE(control, 0);
    EXPECT_EQ(quint8(second[control + 3]), (2 << 2) | 1);
    EXPECT_EQ(quint8(second[control + 4]), 20);
    EXPECT_EQ(quint8(second[control + 6]), T);
    EXPECT_EQ(second.back(), char(0x3B));
}

TEST(GifComposer, disposalToBackgroundAndTransparencyCompose)
{
    LayeredImage util;
    ASSERT_TRUE(util.loadFromBytes(mailvane::test::encodeGif(threeFrames()), 0, 0));
    ASSERT_EQ(util.frameCount(0), 3);
    EXPECT_EQ(util.loopCount(), 4);
    EXPECT_EQ(util.frameDelay(0, 0), 100);
    EXPECT_EQ(util.frameDelay(0, 1), 200);
    EXPECT_EQ(util.frameDelay(0, 2), 300);

    using Row = std::vector<std::uint32_t>;
    EXPECT_EQ(pixels(util.frame(0, 0)), (Row{Red, Red, Red, Red, Red, Red, Red, Red}));
    // Transparent pixels of frame 1 keep frame 0's red.
    EXPECT_EQ(pixels(util.frame(0, 1)), (Row{Red, Red, Blue, Red, Red, Red, Red, Blue}));
    // Frame 1 is disposed: its rectangle goes back to white before frame 2.
    EXPECT_EQ(pixels(util.frame(0, 2)), (Row{Blue, Red, White, White, Red, Red, White, White}));
}

TEST(GifComposer, backgroundOverrideFillsDisposedArea)
{
    LayeredImage util;
    util.setBackgroundOverride(qRgb(0, 255, 0));
    ASSERT_TRUE(util.loadFromBytes(mailvane::test::encodeGif(threeFrames()), 0, 0));
    EXPECT_EQ(sectionPixel(util.frame(0, 2), 3, 0), 0x00FF00u);
}

TEST(GifComposer, singleFrameGoesToThePictureLoader)
{
    GifDescription description = threeFrames();
    description.frames.resize(1);
    const QByteArray file = mailvane::test::encodeGif(description);
    EXPECT_FALSE(GifComposer::compose(file));
    LayeredImage util;
    ASSERT_TRUE(util.loadFromBytes(file, 0, 0));
    EXPECT_EQ(util.frameCount(0), 1);
    EXPECT_EQ(sectionPixel(util.frame(0, 0), 3, 1), Red);
}

} // namespace

namespace {

// A GIF of `frames` one-pixel frames on a screen of the given size.
QByteArray tinyFramesOnScreen(int width, int height, int frames)
{
    GifDescription description;
    description.screenWidth = width;
    description.screenHeight = height;
    description.palette = {qRgb(255, 255, 255), qRgb(255, 0, 0)};
    for (int i = 0; i < frames; ++i)
        description.frames.append(GifFrameDescription{0, 0, 1, 1, {R}, 0, 1, -1, true});
    return mailvane::test::encodeGif(description);
}

} // namespace

TEST(GifParser, listsFramesUpToTheLimitAndNoMore)
{
    for (const int frames : {GifParser::MaxFrames, GifParser::MaxFrames + 1}) {
        const auto gif = GifParser::parse(tinyFramesOnScreen(1, 1, frames));
        ASSERT_TRUE(gif);
        EXPECT_EQ(gif->frames.size(), GifParser::MaxFrames) << frames;
    }
}

TEST(GifComposer, screenAndAnimationSizesAreBounded)
{
    using mailvane::skin::MaxAnimationPixels;
    using mailvane::skin::MaxPicturePixels;
    ASSERT_EQ(MaxPicturePixels, 4096 * 4096);
    // The screen at the picture limit, and four frames of it at the animation limit.
    ASSERT_EQ(4 * MaxPicturePixels, MaxAnimationPixels);
    const auto atLimit = GifComposer::compose(tinyFramesOnScreen(4096, 4096, 4));
    ASSERT_TRUE(atLimit);
    EXPECT_EQ(atLimit->frames.size(), 4);
    EXPECT_EQ(atLimit->frames.last().size(), QSize(4096, 4096));

    EXPECT_FALSE(GifComposer::compose(tinyFramesOnScreen(4096, 4096, 5)));
    EXPECT_FALSE(GifComposer::compose(tinyFramesOnScreen(4097, 4096, 2)));
    EXPECT_FALSE(GifComposer::compose(tinyFramesOnScreen(65535, 65535, 2)));
}
