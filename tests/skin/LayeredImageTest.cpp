#include "LayeredImage.h"

#include "Dib24.h"
#include "ImageFixtures.h"
#include "TempDir.h"

#include <QFile>
#include <QPalette>
#include <QWidget>
#include <gtest/gtest.h>

using mailvane::skin::LayeredImage;
using mailvane::test::sectionPixel;
namespace dib = mailvane::skin::dib;
namespace platform = mailvane::platform;

namespace {

QImage filled(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QImage uniformSection(int width, int height, uchar byte)
{
    QImage section = dib::newSection(width, height);
    section.fill(0);
    for (int y = 0; y < height; ++y)
        std::memset(section.scanLine(y), byte, size_t(width) * 3);
    return section;
}

QString writeFile(const mailvane::test::TempDir& dir, const char* name, const QByteArray& bytes)
{
    const QString path = QString::fromStdString((dir / name).string());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

TEST(LayeredImage, readPixelsUsesTheLayerStrideInBothRowOrders)
{
    LayeredImage util;
    // 5 pixels of 3 bytes pad to a 16-byte row.
    const uchar rows[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                          21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35};
    ASSERT_TRUE(util.createFromPixels(5, 2, rows, 0, 0));
    ASSERT_TRUE(util.layerHeader(0));
    EXPECT_EQ(util.layerHeader(0)->stride(), 16);
    EXPECT_EQ(util.layerHeader(0)->imageSize(), 32);

    const QByteArray top = util.readPixels(0, 0);
    ASSERT_EQ(top.size(), 32);
    EXPECT_EQ(quint8(top[0]), 1);
    EXPECT_EQ(quint8(top[14]), 15);
    EXPECT_EQ(quint8(top[15]), 0);
    EXPECT_EQ(quint8(top[16]), 21);
    const QByteArray bottom = util.readPixelsBottomUp(0, 0);
    EXPECT_EQ(bottom.mid(0, 16), top.mid(16, 16));
    EXPECT_EQ(bottom.mid(16, 16), top.mid(0, 16));
    EXPECT_TRUE(util.readPixels(0, 1).isEmpty());
}

// A 5 × 2 section (16-byte rows, one byte of padding each) over `memory`,
// whose padding holds 0xEE as memory nobody wrote might.
QImage garbagePadded(QByteArray& memory, uchar pixelByte)
{
    memory = QByteArray(32, char(0xEE));
    QImage image(reinterpret_cast<uchar*>(memory.data()), 5, 2, 16, dib::SectionFormat);
    for (int y = 0; y < 2; ++y)
        std::memset(image.scanLine(y), pixelByte, 15);
    return image;
}

void expectZeroPadding(const QByteArray& rows, uchar pixelByte, const char* what)
{
    ASSERT_EQ(rows.size(), 32) << what;
    for (int i = 0; i < rows.size(); ++i)
        EXPECT_EQ(quint8(rows[i]), i % 16 == 15 ? 0 : pixelByte) << what << " byte " << i;
}

TEST(LayeredImage, rowsComeOutWithZeroPaddingWhateverTheSourceHeld)
{
    QByteArray foregroundMemory, maskMemory, backgroundMemory;
    LayeredImage util;
    ASSERT_TRUE(util.storeBitmap(garbagePadded(foregroundMemory, 40), 0, 0));
    ASSERT_TRUE(util.storeBitmap(garbagePadded(maskMemory, 0), 1, 0));
    expectZeroPadding(util.readPixels(0, 0), 40, "top-down");
    expectZeroPadding(util.readPixelsBottomUp(0, 0), 40, "bottom-up");

    // The blend reads whole rows of all three layers, a patch of the
    // background included; the composite must not take their padding in.
    QByteArray largeMemory(dib::strideFor(7) * 3, char(0xEE));
    QImage padded(reinterpret_cast<uchar*>(largeMemory.data()), 7, 3, dib::strideFor(7),
                  dib::SectionFormat);
    for (int y = 0; y < 3; ++y)
        std::memset(padded.scanLine(y), 0, 21);
    ASSERT_TRUE(util.storeBitmap(padded, 2, 0));
    ASSERT_TRUE(util.blendWithOffset(LayeredImage::BlendMode::FreeBuffersAfter, 2, 1, 0, 0));
    expectZeroPadding(util.readPixels(3, 0), 39, "composite"); // 40 × 255 / 256
    const QImage composite = util.frame(3, 0);
    for (int y = 0; y < composite.height(); ++y)
        EXPECT_EQ(composite.constScanLine(y)[15], 0) << "composite row " << y;

    util.deleteFrame(2, 0);
    ASSERT_TRUE(util.storeBitmap(garbagePadded(backgroundMemory, 40), 2, 0));
    ASSERT_TRUE(util.blend(LayeredImage::BlendMode::FreeBuffersAfter, 0, 0));
    expectZeroPadding(util.readPixels(3, 0), 39, "composite of equal sizes");
}

TEST(LayeredImage, headerComesFromTheFirstFrameAndGoesWithTheLast)
{
    LayeredImage util;
    ASSERT_TRUE(util.storeBitmap(filled(6, 4, qRgb(1, 2, 3)), 2, 0));
    ASSERT_TRUE(util.storeBitmap(filled(9, 9, qRgb(1, 2, 3)), 2, 1));
    EXPECT_EQ(util.width(2), 6);
    EXPECT_EQ(util.height(2), 4);
    util.deleteFrame(2, 0);
    EXPECT_EQ(util.width(2), 6);
    util.deleteFrame(2, 1);
    EXPECT_FALSE(util.layerHeader(2));
    EXPECT_EQ(util.frameDelay(2, 1), 0);
}

TEST(LayeredImage, fileOfAnotherSizeDiscardsTheLayersOtherFrames)
{
    mailvane::test::TempDir dir;
    LayeredImage util;
    ASSERT_TRUE(util.storeBitmap(filled(3, 3, qRgb(9, 9, 9)), 0, 0));
    ASSERT_TRUE(util.storeBitmap(filled(3, 3, qRgb(9, 9, 9)), 0, 1));
    const QString path = writeFile(
        dir, "wide.bmp", mailvane::test::encodeImage(filled(8, 2, qRgb(0, 0, 255)), "BMP"));
    ASSERT_TRUE(util.loadFromFile(path, 0, 1));
    EXPECT_TRUE(util.frame(0, 0).isNull());
    EXPECT_EQ(util.frame(0, 1).size(), QSize(8, 2));
    EXPECT_EQ(util.width(0), 8);
    EXPECT_EQ(sectionPixel(util.frame(0, 1), 7, 1), 0x0000FFu);
}

TEST(LayeredImage, tileRepeatsTheSourceFromTheTopLeft)
{
    LayeredImage util;
    const uchar rows[] = {10, 10, 10, 20, 20, 20, 30, 30, 30, 40, 40, 40};
    ASSERT_TRUE(util.createFromPixels(2, 2, rows, 0, 0));
    ASSERT_TRUE(util.tile(5, 3, 0, 0));
    const QImage tiled = util.frame(LayeredImage::Composite, 0);
    ASSERT_EQ(tiled.size(), QSize(5, 3));
    EXPECT_EQ(sectionPixel(tiled, 0, 0), 0x0A0A0Au);
    EXPECT_EQ(sectionPixel(tiled, 3, 0), 0x141414u);
    EXPECT_EQ(sectionPixel(tiled, 4, 0), 0x0A0A0Au);
    EXPECT_EQ(sectionPixel(tiled, 4, 2), 0x0A0A0Au);
    EXPECT_EQ(sectionPixel(tiled, 1, 1), 0x282828u);
    EXPECT_FALSE(util.tile(5, 3, 1, 0));
}

struct BlendCase
{
    uchar foreground;
    uchar mask;
    uchar background;
    uchar expected;
};

class LayeredImageBlend : public testing::TestWithParam<BlendCase>
{};

TEST_P(LayeredImageBlend, eachByteFollowsTheMaskFormula)
{
    const BlendCase& c = GetParam();
    LayeredImage util;
    ASSERT_TRUE(util.storeBitmap(uniformSection(3, 2, c.foreground), 4, 0));
    ASSERT_TRUE(util.storeBitmap(uniformSection(3, 2, c.mask), 5, 0));
    ASSERT_TRUE(util.storeBitmap(uniformSection(3, 2, c.background), 6, 0));
    ASSERT_TRUE(util.blend(LayeredImage::BlendMode::FreeBuffersAfter, 1, 0));
    const QByteArray out = util.readPixels(7, 0);
    ASSERT_EQ(out.size(), 24);
    for (int row = 0; row < 2; ++row) {
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(quint8(out[row * 12 + i]), c.expected) << row << ':' << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, LayeredImageBlend,
    testing::Values(BlendCase{200, 0, 17, 199},   // opaque: 200 × 255 / 256
                    BlendCase{200, 255, 100, 99}, // transparent: 100 × 255 / 256
                    BlendCase{255, 0, 0, 254}, BlendCase{0, 255, 255, 254},
                    BlendCase{200, 128, 100, 149})); // (100·128 + 200·127) / 256

TEST(LayeredImage, blendRefusesLayersOfDifferentSizes)
{
    LayeredImage util;
    ASSERT_TRUE(util.storeBitmap(uniformSection(3, 2, 1), 0, 0));
    ASSERT_TRUE(util.storeBitmap(uniformSection(3, 2, 1), 1, 0));
    ASSERT_TRUE(util.storeBitmap(uniformSection(4, 2, 1), 2, 0));
    EXPECT_FALSE(util.blend(LayeredImage::BlendMode::KeepBuffers, 0, 0));
    EXPECT_FALSE(util.blend(LayeredImage::BlendMode::KeepBuffers, 0, 1));
    EXPECT_FALSE(util.blend(LayeredImage::BlendMode::KeepBuffers, 2, 0));
    EXPECT_TRUE(util.frame(3, 0).isNull());
}

TEST(LayeredImage, freeOnlyModeMakesNoComposite)
{
    LayeredImage util;
    ASSERT_TRUE(util.storeBitmap(uniformSection(2, 2, 1), 0, 0));
    ASSERT_TRUE(util.storeBitmap(uniformSection(2, 2, 1), 1, 0));
    ASSERT_TRUE(util.storeBitmap(uniformSection(2, 2, 1), 2, 0));
    EXPECT_TRUE(util.blend(LayeredImage::BlendMode::FreeBuffersOnly, 0, 0));
    EXPECT_TRUE(util.frame(3, 0).isNull());
}

TEST(LayeredImage, keptBuffersFollowTheBackgroundButNeverAStaleForeground)
{
    LayeredImage util;
    ASSERT_TRUE(util.storeBitmap(uniformSection(2, 1, 200), 0, 0));
    ASSERT_TRUE(util.storeBitmap(uniformSection(2, 1, 255), 1, 0));
    ASSERT_TRUE(util.storeBitmap(uniformSection(2, 1, 100), 2, 0));
    ASSERT_TRUE(util.blend(LayeredImage::BlendMode::KeepBuffers, 0, 0));
    EXPECT_EQ(quint8(util.readPixels(3, 0)[0]), 99);

    // A new background is read on every blend.
    ASSERT_TRUE(util.storeBitmap(uniformSection(2, 1, 0), 2, 0));
    ASSERT_TRUE(util.blend(LayeredImage::BlendMode::KeepBuffers, 0, 0));
    EXPECT_EQ(quint8(util.readPixels(3, 0)[0]), 0);

    // A changed mask drops the kept bytes instead of blending old ones.
    ASSERT_TRUE(util.storeBitmap(uniformSection(2, 1, 0), 1, 0));
    ASSERT_TRUE(util.blend(LayeredImage::BlendMode::KeepBuffers, 0, 0));
    EXPECT_EQ(quint8(util.readPixels(3, 0)[0]), 199);
}

TEST(LayeredImage, blendWithOffsetCutsTheBackground)
{
    LayeredImage util;
    ASSERT_TRUE(util.storeBitmap(uniformSection(2, 2, 0), 0, 0));
    ASSERT_TRUE(util.storeBitmap(uniformSection(2, 2, 255), 1, 0));
    QImage background = dib::newSection(4, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            dib::setPixelValue(background.scanLine(y) + 3 * x, 0x010101u * uint(10 * y + x));
    }
    ASSERT_TRUE(util.storeBitmap(background, 2, 0));
    ASSERT_TRUE(util.blendWithOffset(LayeredImage::BlendMode::FreeBuffersAfter, 1, 2, 0, 0));
    const QImage composite = util.frame(3, 0);
    ASSERT_EQ(composite.size(), QSize(2, 2));
    // Background bytes × 255 / 256: 21 → 20, 32 → 31.
    EXPECT_EQ(sectionPixel(composite, 0, 0), 0x141414u);
    EXPECT_EQ(sectionPixel(composite, 1, 1), 0x1F1F1Fu);
    EXPECT_FALSE(util.blendWithOffset(LayeredImage::BlendMode::FreeBuffersAfter, 3, 3, 0, 0));
}

TEST(LayeredImage, pngRouteKeepsAlphaAsMaskOfLayerOne)
{
    mailvane::test::TempDir dir;
    QImage rgba(2, 1, QImage::Format_ARGB32);
    rgba.setPixel(0, 0, qRgba(10, 20, 30, 255));
    rgba.setPixel(1, 0, qRgba(40, 50, 60, 64));
    const QString path = writeFile(dir, "alpha.png", mailvane::test::encodeImage(rgba, "PNG"));
    LayeredImage util;
    ASSERT_TRUE(util.loadFromFile(path, 0, 0));
    EXPECT_EQ(sectionPixel(util.frame(0, 0), 0, 0), 0x0A141Eu);
    EXPECT_EQ(sectionPixel(util.frame(0, 0), 1, 0), 0x28323Cu);
    EXPECT_EQ(sectionPixel(util.frame(1, 0), 0, 0), 0x000000u);
    EXPECT_EQ(sectionPixel(util.frame(1, 0), 1, 0), 0xBFBFBFu);

    // Into another layer the mask is dropped.
    LayeredImage other;
    ASSERT_TRUE(other.loadFromFile(path, 2, 0));
    EXPECT_TRUE(other.frame(3, 0).isNull());
    EXPECT_TRUE(other.frame(1, 0).isNull());
}

TEST(LayeredImage, pngRouteTakesTheHighByteOfSixteenBitSamples)
{
    mailvane::test::TempDir dir;
    QImage deep(1, 1, QImage::Format_RGBA64);
    deep.setPixelColor(0, 0, QColor::fromRgba64(0x12FF, 0x3400, 0xAB01, 0xFFFF));
    const QString path = writeFile(dir, "deep.png", mailvane::test::encodeImage(deep, "PNG"));
    LayeredImage util;
    ASSERT_TRUE(util.loadFromFile(path, 0, 0));
    EXPECT_EQ(sectionPixel(util.frame(0, 0), 0, 0), 0x1234ABu);
    EXPECT_EQ(sectionPixel(util.frame(1, 0), 0, 0), 0x000000u);
}

TEST(LayeredImage, pngBelowTwentyFourBitsIsNotTaken)
{
    mailvane::test::TempDir dir;
    QImage grey(2, 2, QImage::Format_Grayscale8);
    grey.fill(128);
    const QString path = writeFile(dir, "grey.png", mailvane::test::encodeImage(grey, "PNG"));
    LayeredImage util;
    EXPECT_FALSE(util.loadFromFile(path, 0, 0));
    EXPECT_TRUE(util.frame(0, 0).isNull());
}

TEST(LayeredImage, wbmpAndOtaFilesLoadThroughTheirRoutes)
{
    mailvane::test::TempDir dir;
    LayeredImage util;
    ASSERT_TRUE(
        util.loadFromFile(writeFile(dir, "a.wbmp", QByteArray("\0\0\x02\x01\x40", 5)), 0, 0));
    EXPECT_EQ(sectionPixel(util.frame(0, 0), 0, 0), 0x000000u);
    EXPECT_EQ(sectionPixel(util.frame(0, 0), 1, 0), 0xFFFFFFu);
    ASSERT_TRUE(
        util.loadFromFile(writeFile(dir, "a.ota", QByteArray("\0\x02\x01\x01\x40", 5)), 4, 0));
    EXPECT_EQ(sectionPixel(util.frame(4, 0), 0, 0), 0xFFFFFFu);
    EXPECT_EQ(sectionPixel(util.frame(4, 0), 1, 0), 0x000000u);
}

TEST(LayeredImage, missingOrUnreadableFilesFail)
{
    mailvane::test::TempDir dir;
    LayeredImage util;
    EXPECT_FALSE(util.loadFromFile(QString::fromStdString((dir / "none.bmp").string()), 0, 0));
    EXPECT_FALSE(util.loadFromFile(writeFile(dir, "junk.bin", "not an image at all"), 0, 0));
    EXPECT_FALSE(util.loadFromFile(writeFile(dir, "empty.bin", ""), 0, 0));
    EXPECT_FALSE(util.loadFromFile(writeFile(dir, "ok.ota", QByteArray("\0\x01\x01\x01\x80", 5)),
                                   LayeredImage::LayerCount, 0));
    EXPECT_FALSE(util.loadFromFile(writeFile(dir, "ok2.ota", QByteArray("\0\x01\x01\x01\x80", 5)),
                                   0, LayeredImage::MaxFrames));
}

class LayeredImageResources : public testing::Test
{
protected:
    void SetUp() override
    {
        QImage soft(3, 2, QImage::Format_ARGB32);
        soft.fill(qRgba(0, 128, 255, 0));
        soft.setPixel(0, 0, qRgba(0, 128, 255, 255));
        mailvane::test::GifDescription gif;
        gif.screenWidth = 2;
        gif.screenHeight = 1;
        gif.palette = {qRgb(255, 255, 255), qRgb(0, 0, 0)};
        gif.frames = {{0, 0, 2, 1, {1, 1}, 0, 5, -1, true}, {0, 0, 1, 1, {0}, 0, 7, -1, true}};
        const QString bundle = mailvane::test::buildLibrary(
            QString::fromStdString(m_dir.path().string()),
            {{QStringLiteral("BITMAP/5.bmp"),
              mailvane::test::encodeImage(filled(4, 4, qRgb(255, 0, 0)), "BMP")},
             {QStringLiteral("PNG/7.png"), mailvane::test::encodeImage(soft, "PNG")},
             {QStringLiteral("GIF/9.gif"), mailvane::test::encodeGif(gif)},
             {QStringLiteral("OTA/9.ota"), QByteArray("\0\x01\x01\x01\x80", 5)}});
        ASSERT_FALSE(bundle.isEmpty());
        m_module = platform::loadResourceLibrary(bundle);
        ASSERT_FALSE(m_module.isEmpty());
    }
    void TearDown() override { platform::freeResourceLibrary(m_module); }

    mailvane::test::TempDir m_dir;
    platform::LibraryHandle m_module;
};

TEST_F(LayeredImageResources, bitmapResourceComesFirst)
{
    LayeredImage util;
    ASSERT_TRUE(util.loadFromResource(m_module, 5, 0, 0));
    EXPECT_EQ(util.frame(0, 0).size(), QSize(4, 4));
    EXPECT_EQ(sectionPixel(util.frame(0, 0), 3, 3), 0xFF0000u);
}

TEST_F(LayeredImageResources, namedTypeResourceTakesTheFileRoutes)
{
    LayeredImage util;
    ASSERT_TRUE(util.loadFromResource(m_module, 7, 0, 0));
    EXPECT_EQ(util.frame(0, 0).size(), QSize(3, 2));
    EXPECT_EQ(sectionPixel(util.frame(1, 0), 0, 0), 0x000000u);
    EXPECT_EQ(sectionPixel(util.frame(1, 0), 1, 0), 0xFFFFFFu);

    // GIF sorts before OTA, so number 9 is the two-frame animation.
    ASSERT_TRUE(util.loadFromResource(m_module, 9, 4, 0));
    EXPECT_EQ(util.frameCount(4), 2);
    EXPECT_EQ(util.frameDelay(4, 1), 70);
    EXPECT_EQ(sectionPixel(util.frame(4, 1), 0, 0), 0xFFFFFFu);
    EXPECT_EQ(sectionPixel(util.frame(4, 1), 1, 0), 0x000000u);
}

TEST_F(LayeredImageResources, plainBitmapKeepsTheLayerHeader)
{
    LayeredImage util;
    ASSERT_TRUE(util.storeBitmap(filled(2, 2, qRgb(1, 1, 1)), 0, 0));
    ASSERT_TRUE(util.loadFromResource(m_module, 5, 0, 1));
    EXPECT_EQ(util.width(0), 2);
    EXPECT_FALSE(util.frame(0, 0).isNull());
    EXPECT_EQ(util.readPixels(0, 1).size(), util.layerHeader(0)->imageSize());
}

TEST_F(LayeredImageResources, failedLoadLeavesTheFrameEmpty)
{
    LayeredImage util;
    ASSERT_TRUE(util.storeBitmap(filled(2, 2, qRgb(1, 1, 1)), 0, 0));
    EXPECT_FALSE(util.loadFromResource(m_module, 11, 0, 0));
    EXPECT_TRUE(util.frame(0, 0).isNull());
    EXPECT_FALSE(util.loadFromResource(m_module, 0, 0, 0));
    EXPECT_FALSE(util.loadFromResource({}, 5, 0, 0));
    EXPECT_FALSE(util.loadFromResource(m_module, 5, -1, 0));
    EXPECT_FALSE(util.loadFromResource(m_module, 5, 8, 0));
}

TEST(LayeredImage, aCaptureOfTheWindowGoesIntoTheBackgroundLayer)
{
    QWidget window;
    window.resize(20, 10);
    window.setAutoFillBackground(true);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(0x12, 0x34, 0x56));
    window.setPalette(palette);
    LayeredImage util;
    ASSERT_TRUE(util.storeBitmap(filled(3, 3, qRgb(0, 0, 0)), 6, 1));
    const QImage grabbed = window.grab(QRect(2, 3, 5, 4)).toImage();
    ASSERT_TRUE(util.storeCapture(grabbed, 5, 4, 1, 0));
    EXPECT_EQ(util.frame(6, 0).size(), QSize(5, 4));
    EXPECT_TRUE(util.frame(6, 1).isNull());
    EXPECT_EQ(sectionPixel(util.frame(6, 0), 4, 3), 0x123456u);
    EXPECT_FALSE(util.storeCapture(grabbed, 5, 4, 2, 0));
    EXPECT_FALSE(util.storeCapture(QImage(), 5, 4, 1, 0));
}

TEST(LayeredImage, aCaptureCutShortByTheScreenEdgeLeavesTheRestBlack)
{
    LayeredImage util;
    ASSERT_TRUE(util.storeCapture(filled(3, 2, qRgb(0x12, 0x34, 0x56)), 5, 4, 0, 0));
    EXPECT_EQ(util.frame(2, 0).size(), QSize(5, 4));
    EXPECT_EQ(sectionPixel(util.frame(2, 0), 2, 1), 0x123456u);
    EXPECT_EQ(sectionPixel(util.frame(2, 0), 3, 1), 0u);
    EXPECT_EQ(sectionPixel(util.frame(2, 0), 0, 2), 0u);
}

TEST(LayeredImage, regionOfAMissingFrameIsNothing)
{
    LayeredImage util;
    EXPECT_FALSE(util.region(0, 0, {0xFFFFFF, 0x010101}));
    ASSERT_TRUE(util.storeBitmap(filled(4, 1, qRgb(255, 255, 255)), 0, 0));
    ASSERT_TRUE(util.region(0, 0, {0xFFFFFF, 0x010101}));
    EXPECT_TRUE(util.region(0, 0, {0xFFFFFF, 0x010101})->isEmpty());
}

} // namespace
