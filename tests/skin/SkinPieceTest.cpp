#include "SkinPiece.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace mailvane::skin {
namespace {

QImage filled(int w, int h, QRgb colour, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(w, h, format);
    image.fill(colour);
    return image;
}

QImage maskOfAlpha(int w, int h, int alpha)
{
    const int m = 255 - alpha;
    return filled(w, h, qRgb(m, m, m), QImage::Format_BGR888);
}

struct BlendCase
{
    int alpha;
    QRgb piece;
    QRgb patch;
    QRgb expected;
};

class SkinPieceBlend : public ::testing::TestWithParam<BlendCase>
{};

TEST_P(SkinPieceBlend, followsTheByteFormulaTruncated)
{
    const BlendCase& c = GetParam();
    const QImage out =
        blendThroughMask(filled(3, 2, c.piece), maskOfAlpha(3, 2, c.alpha), filled(3, 2, c.patch));
    ASSERT_EQ(out.size(), QSize(3, 2));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            ASSERT_EQ(out.pixel(x, y) & 0xFFFFFF, c.expected & 0xFFFFFF) << x << "," << y;
}

// Fully transparent and fully opaque both lose a little: × 255 / 256.
INSTANTIATE_TEST_SUITE_P(
    Alphas, SkinPieceBlend,
    ::testing::Values(BlendCase{0, qRgb(9, 9, 9), qRgb(200, 255, 1), qRgb(199, 254, 0)},
                      BlendCase{255, qRgb(200, 255, 1), qRgb(9, 9, 9), qRgb(199, 254, 0)},
                      BlendCase{255, qRgb(128, 2, 0), qRgb(0, 0, 0), qRgb(127, 1, 0)},
                      // (100 × 128 + 200 × 127) / 256 = 149.2
                      BlendCase{128, qRgb(100, 100, 100), qRgb(200, 200, 200), qRgb(149, 149, 149)},
                      BlendCase{1, qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 253, 0)}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(SkinPiece, thirtyTwoBitPieceIgnoresItsOwnAlphaByte)
{
    QImage piece(1, 1, QImage::Format_ARGB32);
    piece.setPixel(0, 0, qRgba(50, 60, 70, 0));
    const QImage out = toBgr24(piece);
    ASSERT_EQ(out.format(), QImage::Format_BGR888);
    const uchar* p = out.constScanLine(0);
    EXPECT_EQ(p[0], 70);
    EXPECT_EQ(p[1], 60);
    EXPECT_EQ(p[2], 50);
}

class SkinPieceDrawing : public ::testing::Test
{
protected:
    QImage target = filled(20, 10, qRgb(1, 2, 3));
    const QRgb untouched = qRgb(1, 2, 3);
    QRgb at(int x, int y) const { return target.pixel(x, y) & 0xFFFFFF; }
    void draw(const QImage& piece, const QImage& mask, const QImage& background, int x, int y,
              int w, int h, FitTest fit = FitTest::Required)
    {
        QPainter painter(&target);
        drawSkinPiece(painter, piece, mask, background, x, y, w, h, fit);
    }
};

TEST_F(SkinPieceDrawing, withoutMaskCopiesOnlyTheRequestedPart)
{
    QImage piece = filled(6, 6, qRgb(40, 50, 60));
    piece.setPixel(0, 0, qRgb(255, 0, 0));
    draw(piece, QImage(), QImage(), 2, 1, 4, 3);
    EXPECT_EQ(at(2, 1), qRgb(255, 0, 0) & 0xFFFFFF);
    EXPECT_EQ(at(5, 3), qRgb(40, 50, 60) & 0xFFFFFF);
    EXPECT_EQ(at(6, 1), untouched & 0xFFFFFF); // past w
    EXPECT_EQ(at(2, 4), untouched & 0xFFFFFF); // past h
}

TEST_F(SkinPieceDrawing, withMaskBlendsWithTheBackgroundAtTheSamePlace)
{
    QImage background = filled(20, 10, qRgb(0, 0, 0));
    background.setPixel(3, 2, qRgb(200, 200, 200));
    draw(filled(2, 2, qRgb(100, 100, 100)), maskOfAlpha(2, 2, 128), background, 3, 2, 2, 2);
    EXPECT_EQ(at(3, 2), qRgb(149, 149, 149) & 0xFFFFFF);
    EXPECT_EQ(at(4, 2), qRgb(50, 50, 50) & 0xFFFFFF); // 100 × 128 / 256
}

TEST_F(SkinPieceDrawing, maskedPieceThatDoesNotFitTheBackgroundIsSkipped)
{
    const QImage background = filled(10, 10, qRgb(0, 0, 0));
    const QImage piece = filled(4, 4, qRgb(100, 100, 100));
    const QImage mask = maskOfAlpha(4, 4, 255);
    draw(piece, mask, background, 7, 0, 2, 2); // only 2 columns asked for, but 4 must fit
    EXPECT_EQ(at(7, 0), untouched & 0xFFFFFF);
    draw(piece, mask, background, 6, 6, 4, 4); // fits exactly
    EXPECT_EQ(at(6, 6), qRgb(99, 99, 99) & 0xFFFFFF);
    draw(piece, mask, QImage(), 0, 0, 4, 4); // no background at all
    EXPECT_EQ(at(0, 0), untouched & 0xFFFFFF);
}

TEST_F(SkinPieceDrawing, withoutFitTestTheMissingPatchCountsAsBlack)
{
    const QImage background = filled(10, 10, qRgb(200, 200, 200));
    draw(filled(4, 4, qRgb(100, 100, 100)), maskOfAlpha(4, 4, 0), background, 8, 0, 4, 4,
         FitTest::Skipped);
    EXPECT_EQ(at(8, 0), qRgb(199, 199, 199) & 0xFFFFFF);
    EXPECT_EQ(at(10, 0), 0u);
}

TEST_F(SkinPieceDrawing, nullPieceDrawsNothing)
{
    draw(QImage(), QImage(), QImage(), 0, 0, 5, 5);
    draw(QImage(), maskOfAlpha(5, 5, 0), filled(20, 10, qRgb(9, 9, 9)), 0, 0, 5, 5);
    EXPECT_EQ(at(0, 0), untouched & 0xFFFFFF);
}

} // namespace
} // namespace mailvane::skin
