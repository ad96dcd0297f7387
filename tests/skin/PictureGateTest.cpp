// The one size check between bytes and pixels: the size it reads from each
// format's header, and every route refusing a picture past the limit even
// where the decoder reports a smaller size beforehand.

#include "PictureGate.h"

#include "DisplayPngDecoder.h"
#include "GifComposer.h"
#include "ImageFixtures.h"
#include "LayeredImage.h"
#include "PictureLimits.h"
#include "PictureLoader.h"
#include "RawPngDecoder.h"
#include "ResourceLibrary.h"

#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

namespace mailvane::skin {
namespace {

using test::encodeImage;

QImage picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(10, 200, 30));
    return image;
}

// A one-bit picture: cheap to make and to decode at the limit's size.
QImage bitPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_Mono);
    image.fill(1);
    return image;
}

// An icon whose only image is `png`, while its directory says 32 × 32.
QByteArray iconHolding(const QByteArray& png)
{
    QByteArray icon(22, '\0');
    icon[2] = 1; // type: icon
    icon[4] = 1; // one image
    icon[6] = 32;
    icon[7] = 32;
    icon[10] = 1;  // planes
    icon[12] = 32; // bits per pixel
    qToLittleEndian<quint32>(quint32(png.size()), icon.data() + 14);
    qToLittleEndian<quint32>(quint32(icon.size()), icon.data() + 18);
    return icon + png;
}

// A GIF of one frame of `width` × `height`, at `at` on the screen.
QByteArray gifOnScreen(int screenWidth, int screenHeight, int width, int height, QPoint at = {})
{
    test::GifDescription gif;
    gif.screenWidth = screenWidth;
    gif.screenHeight = screenHeight;
    gif.palette = {qRgb(255, 255, 255), qRgb(0, 0, 0)};
    gif.frames = {
        {at.x(), at.y(), width, height, QList<std::uint8_t>(width * height, 1), 0, 0, -1, true}};
    return test::encodeGif(gif);
}

QByteArray withJpegFillBytes(QByteArray jpeg)
{
    return jpeg.insert(2, "\xFF\xFF", 2); // fill bytes may precede any marker
}

// The same JPEG with its Huffman tables moved before its frame header, where
// they may stand as well: a table segment is not the frame header.
QByteArray withHuffmanTablesFirst(const QByteArray& jpeg)
{
    constexpr char HuffmanTables = '\xC4';
    constexpr char StartOfScan = '\xDA';
    QByteArray tables;
    QByteArray others;
    qsizetype at = 2; // past the start-of-image marker
    while (at + 4 <= jpeg.size() && jpeg[at + 1] != StartOfScan) {
        const qsizetype length = 2 + qFromBigEndian<quint16>(jpeg.constData() + at + 2);
        (jpeg[at + 1] == HuffmanTables ? tables : others) += jpeg.mid(at, length);
        at += length;
    }
    return jpeg.left(2) + tables + others + jpeg.mid(at);
}

QByteArray topDownBmp(const QImage& image)
{
    QByteArray bmp = encodeImage(image, "BMP");
    qToLittleEndian<qint32>(-image.height(), bmp.data() + 22);
    return bmp;
}

struct StatedCase
{
    const char* name;
    PictureFormat format;
    QByteArray bytes;
};

TEST(PictureGate, statedSizeIsTheSizeOfThePictureDecoded)
{
    const QImage image = picture(37, 23);
    const StatedCase cases[] = {
        {"png", PictureFormat::Png, encodeImage(image, "PNG")},
        {"bmp", PictureFormat::Bmp, encodeImage(image, "BMP")},
        {"top-down bmp", PictureFormat::Bmp, topDownBmp(image)},
        {"jpeg", PictureFormat::Jpeg, encodeImage(image, "JPEG")},
        {"jpeg with fill bytes", PictureFormat::Jpeg,
         withJpegFillBytes(encodeImage(image, "JPEG"))},
        {"jpeg with its Huffman tables first", PictureFormat::Jpeg,
         withHuffmanTablesFirst(encodeImage(image, "JPEG"))},
        {"icon", PictureFormat::Icon, encodeImage(image, "ICO")},
        {"icon holding a png", PictureFormat::Icon, iconHolding(encodeImage(image, "PNG"))},
        {"gif", PictureFormat::Gif, gifOnScreen(37, 23, 37, 23)},
    };
    for (const StatedCase& c : cases) {
        const QImage decoded = QImage::fromData(c.bytes);
        ASSERT_EQ(decoded.size(), QSize(37, 23)) << c.name;
        const std::optional<StatedSize> stated = PictureGate::statedSize(c.format, c.bytes);
        ASSERT_TRUE(stated) << c.name;
        EXPECT_EQ(stated->width, 37) << c.name;
        EXPECT_EQ(stated->height, 23) << c.name;
        EXPECT_FALSE(PictureGate::statedSize(c.format,
                                             c.bytes.left(c.format == PictureFormat::Gif ? 12 : 4)))
            << c.name << " cut short";
    }
}

TEST(PictureGate, gifIsSizedByItsScreenWidenedToItsFirstFrame)
{
    const auto size = [](const QByteArray& gif) {
        const auto stated = PictureGate::statedSize(PictureFormat::Gif, gif);
        return stated ? QSize(int(stated->width), int(stated->height)) : QSize();
    };
    EXPECT_EQ(size(gifOnScreen(65532, 509, 4, 3)), QSize(65532, 509));
    EXPECT_EQ(size(gifOnScreen(10, 8, 12, 3)), QSize(12, 8));
    EXPECT_EQ(size(gifOnScreen(0, 0, 5, 6)), QSize(5, 6));
    EXPECT_EQ(size(gifOnScreen(10, 8, 4, 3, {8, 6})), QSize(12, 9));
}

TEST(PictureGate, pngWithoutItsHeaderChunkStatesNothingToAllocate)
{
    // libpng stops at a first chunk other than the header, before any pixels.
    const QByteArray png = encodeImage(picture(3, 2), "PNG");
    QByteArray misplaced = png;
    misplaced.replace(12, 4, "IDAT");
    const auto stated = PictureGate::statedSize(PictureFormat::Png, misplaced);
    ASSERT_TRUE(stated);
    EXPECT_EQ(stated->width * stated->height, 0);
    EXPECT_FALSE(PictureGate::statedSize(PictureFormat::Png, QByteArray("GIF89a")));
}

// Each route from bytes to a picture, given a picture just past the limit
// whose decoder reports a small size beforehand, and the same at the limit.
TEST(PictureGate, everyRouteRefusesAPicturePastTheLimitThatItsDecoderUnderstates)
{
    ASSERT_EQ(MaxPicturePixels, qint64{4096} * 4096);
    const QByteArray iconAtLimit = iconHolding(encodeImage(bitPicture(4096, 4096), "PNG"));
    const QByteArray iconPastLimit = iconHolding(encodeImage(bitPicture(4097, 4096), "PNG"));
    EXPECT_EQ(PictureLoader::fromBytes(iconAtLimit).size(), QSize(4096, 4096));
    EXPECT_TRUE(PictureLoader::fromBytes(iconPastLimit).isNull());

    // One frame of 4 × 3 on a screen past the limit: the loader alone, and
    // an animation of two such frames through the composer.
    const QByteArray wideScreen = gifOnScreen(65532, 509, 4, 3);
    EXPECT_TRUE(PictureLoader::fromBytes(wideScreen).isNull());
    test::GifDescription animation;
    animation.screenWidth = 4097;
    animation.screenHeight = 4096;
    animation.palette = {qRgb(255, 255, 255), qRgb(0, 0, 0)};
    animation.frames = {{0, 0, 1, 1, {1}, 0, 0, -1, true}, {0, 0, 1, 1, {0}, 0, 0, -1, true}};
    EXPECT_FALSE(GifComposer::compose(test::encodeGif(animation)));

    // A bitmap header stating more than the limit, and BMP only.
    EXPECT_TRUE(PictureLoader::fromBitmap(encodeImage(bitPicture(4097, 4096), "BMP")).isNull());
    EXPECT_EQ(PictureLoader::fromBitmap(encodeImage(bitPicture(4096, 4096), "BMP")).size(),
              QSize(4096, 4096));
    EXPECT_TRUE(PictureLoader::fromBitmap(gifOnScreen(2, 2, 2, 2)).isNull());

    for (const QByteArray& bytes : {iconPastLimit, wideScreen}) {
        LayeredImage images;
        EXPECT_FALSE(images.loadFromBytes(bytes, 0, 0));
        EXPECT_TRUE(images.frame(0, 0).isNull());
    }
}

// Found by fuzz/SkinLibraryFuzzer.cpp: a member of a named type holding a
// one-frame GIF whose logical screen (65532 × 509) is past the limit. The
// platform's decoder reported the first frame's width as the picture's and
// then drew on the whole screen, so the size checked was not the size made.
TEST(PictureGate, skinLibraryMemberWithAGifScreenPastTheLimitIsRefused)
{
    QFile file(
        QStringLiteral(MAILVANE_TEST_DATA_DIR "/skin-library-gif-screen-past-picture-limit.bin"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    platform::LibraryHandle library = platform::loadResourceLibraryData(file.readAll());
    ASSERT_FALSE(library.isEmpty());
    LayeredImage images;
    EXPECT_FALSE(images.loadFromResource(library, 3, 0, 0));
    EXPECT_TRUE(images.frame(0, 0).isNull());
    // Its plain bitmap is within the limit and still loads.
    ASSERT_TRUE(images.loadFromResource(library, 1, 0, 0));
    EXPECT_EQ(images.frame(0, 0).size(), QSize(2, 2));
    platform::freeResourceLibrary(library);
}

} // namespace
} // namespace mailvane::skin
