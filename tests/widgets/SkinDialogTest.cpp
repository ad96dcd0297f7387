#include "SkinDialog.h"

#include "SkinBar.h"
#include "SkinHorizontalBar.h"
#include "SkinVerticalBar.h"
#include "TestPngWriter.h"
#include "TestResourceBundle.h"

#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <png.h>

namespace mailvane::widgets {
namespace {

// Each row of a piece gets its own colour so that a test can tell which row
// of which piece lands where.
QImage rowsImage(int w, int h, const std::function<QRgb(int)>& rowColour)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, rowColour(y));
    return image;
}

QImage plain(int w, int h, QRgb colour)
{
    return rowsImage(w, h, [colour](int) { return colour; });
}

QRgb leftTopRow(int r)
{
    return qRgb(0, 200 + r, 0);
}
QRgb leftMiddleRow(int r)
{
    return qRgb(100 + r, 0, 0);
}
QRgb leftBottomRow(int r)
{
    return qRgb(0, 0, 200 + r);
}
const QRgb TopLeft = qRgb(10, 20, 30);
const QRgb TopMiddle = qRgb(40, 50, 60);
const QRgb TopRight = qRgb(70, 80, 90);
const QRgb Background = qRgb(200, 200, 200);

constexpr SkinFrameImages DialogImages{146, 147, 140, 143, 142, 141, 145};

class SkinDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bundle.addBitmap(QStringLiteral("140"), rowsImage(10, 8, leftTopRow));
        bundle.addBitmap(QStringLiteral("146"), rowsImage(10, 12, leftMiddleRow));
        bundle.addBitmap(QStringLiteral("147"), rowsImage(10, 7, leftBottomRow));
        bundle.addBitmap(QStringLiteral("143"), plain(30, 20, TopLeft));
        bundle.addBitmap(QStringLiteral("142"), plain(7, 20, TopMiddle));
        bundle.addBitmap(QStringLiteral("141"), plain(25, 20, TopRight));
        bundle.addBitmap(QStringLiteral("145"), plain(50, 40, Background));
        // A soft piece: half-transparent grey.
        test::TestPng soft;
        soft.width = 30;
        soft.height = 20;
        soft.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
        soft.rows.assign(20, {});
        for (auto& row : soft.rows)
            for (int x = 0; x < 30; ++x)
                row.insert(row.end(), {100, 100, 100, 128});
        bundle.add(QStringLiteral("PNG"), QStringLiteral("170.png"), test::encodeTestPng(soft));
        library = bundle.load();
        ASSERT_FALSE(library.isEmpty());
    }

    static QRgb at(QWidget& widget, int x, int y)
    {
        return widget.grab().toImage().pixel(x, y) & 0xFFFFFF;
    }

    test::TestResourceBundle bundle;
    platform::LibraryHandle library;
};

TEST_F(SkinDialogTest, plainDialogHasNoBarsAndPaintsLikeAnyDialog)
{
    SkinDialog dialog(134);
    dialog.resize(120, 80);
    dialog.show();
    EXPECT_FALSE(dialog.isSkinned());
    EXPECT_TRUE(dialog.isInitialised());
    EXPECT_TRUE(dialog.findChildren<SkinBar*>().isEmpty());

    QDialog ordinary;
    ordinary.resize(120, 80);
    ordinary.show();
    EXPECT_EQ(dialog.grab().toImage(), ordinary.grab().toImage());
}

TEST_F(SkinDialogTest, skinnedDialogLaysOutBothBars)
{
    SkinDialog dialog(134, library, DialogImages);
    EXPECT_TRUE(dialog.isSkinned());
    EXPECT_EQ(dialog.background().size(), QSize(50, 40)); // loaded at construction
    dialog.resize(200, 73);
    dialog.show();

    ASSERT_TRUE(dialog.topBar());
    ASSERT_TRUE(dialog.leftBar());
    EXPECT_EQ(dialog.topBar()->controlId(), SkinDialog::TopBarControlId);
    EXPECT_EQ(dialog.leftBar()->controlId(), SkinDialog::LeftBarControlId);
    EXPECT_EQ(dialog.topBar()->geometry(), QRect(0, 0, 200, 20));
    EXPECT_EQ(dialog.leftBar()->geometry(), QRect(0, 20, 10, 53));
    // The background grows to the client area.
    EXPECT_EQ(dialog.background().size(), QSize(200, 73));
    EXPECT_EQ(at(dialog, 150, 60), Background & 0xFFFFFF);
}

TEST_F(SkinDialogTest, verticalBarLeavesNoGapWhenHeightIsNotAMultipleOfFive)
{
    SkinDialog dialog(134, library, DialogImages);
    dialog.resize(200, 73); // left bar 53 high: top 8, bottom 7, middle 12
    dialog.show();
    const QImage shot = dialog.grab().toImage();
    for (int y = 0; y < 53; ++y) {
        QRgb expected;
        if (y < 8)
            expected = leftTopRow(y);
        else if (y < 34)
            expected = leftMiddleRow((y - 8) % SkinVerticalBar::SliceHeight);
        else if (y < 46)
            expected = leftMiddleRow(y - 34); // the whole middle piece above the bottom
        else
            expected = leftBottomRow(y - 46);
        ASSERT_EQ(shot.pixel(5, 20 + y) & 0xFFFFFF, expected & 0xFFFFFF) << "bar row " << y;
    }
}

TEST_F(SkinDialogTest, horizontalBarRepeatsTheMiddleAndEndsWithTheWholeRightPiece)
{
    SkinDialog dialog(134, library, DialogImages);
    dialog.resize(200, 73);
    dialog.show();
    const QImage shot = dialog.grab().toImage();
    EXPECT_EQ(shot.pixel(29, 5) & 0xFFFFFF, TopLeft & 0xFFFFFF);
    EXPECT_EQ(shot.pixel(30, 5) & 0xFFFFFF, TopMiddle & 0xFFFFFF);
    EXPECT_EQ(shot.pixel(174, 5) & 0xFFFFFF, TopMiddle & 0xFFFFFF);
    EXPECT_EQ(shot.pixel(175, 5) & 0xFFFFFF, TopRight & 0xFFFFFF);
    EXPECT_EQ(shot.pixel(199, 19) & 0xFFFFFF, TopRight & 0xFFFFFF);
}

TEST_F(SkinDialogTest, narrowTopBarShowsTheRightPieceOverTheLeftOne)
{
    SkinDialog dialog(134, library, DialogImages);
    dialog.resize(40, 60); // narrower than left (30) + right (25)
    dialog.show();
    const QImage shot = dialog.grab().toImage();
    EXPECT_EQ(shot.pixel(14, 5) & 0xFFFFFF, TopLeft & 0xFFFFFF);
    EXPECT_EQ(shot.pixel(15, 5) & 0xFFFFFF, TopRight & 0xFFFFFF);
    EXPECT_EQ(shot.pixel(39, 5) & 0xFFFFFF, TopRight & 0xFFFFFF);
}

TEST_F(SkinDialogTest, resizeMovesTheBars)
{
    SkinDialog dialog(134, library, DialogImages);
    dialog.resize(200, 73);
    dialog.show();
    dialog.resize(300, 100);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.topBar()->width() == 300; }, 2000));
    EXPECT_EQ(dialog.leftBar()->geometry(), QRect(0, 20, 10, 80));
    EXPECT_EQ(at(dialog, 299, 5), TopRight & 0xFFFFFF);
}

TEST_F(SkinDialogTest, maskedPieceIsBlendedWithTheDialogBackground)
{
    SkinFrameImages images = DialogImages;
    images.topLeft = 170;
    SkinDialog dialog(102, library, images);
    dialog.resize(200, 73);
    dialog.show();
    // (100 × 128 + 200 × 127) / 256 = 149
    EXPECT_EQ(at(dialog, 3, 3), qRgb(149, 149, 149) & 0xFFFFFF);
}

TEST_F(SkinDialogTest, missingPicturesStillOpenTheDialog)
{
    SkinDialog dialog(134, library, {900, 901, 902, 903, 904, 905, 906});
    dialog.resize(100, 60);
    dialog.show();
    EXPECT_TRUE(dialog.background().isNull());
    EXPECT_EQ(dialog.topBar()->height(), 0);
    EXPECT_EQ(dialog.leftBar()->width(), 0);
    dialog.grab(); // paints without pieces

    SkinDialog unskinnedLibrary(134, platform::LibraryHandle(), DialogImages);
    unskinnedLibrary.show();
    unskinnedLibrary.grab();
    EXPECT_TRUE(unskinnedLibrary.isInitialised());
}

TEST_F(SkinDialogTest, topBarWithoutMiddlePieceDrawsItsEnds)
{
    SkinFrameImages images = DialogImages;
    images.topMiddle = 905;
    SkinDialog dialog(134, library, images);
    dialog.resize(200, 73);
    dialog.show();
    const QImage shot = dialog.grab().toImage();
    EXPECT_EQ(shot.pixel(0, 0) & 0xFFFFFF, TopLeft & 0xFFFFFF);
    EXPECT_EQ(shot.pixel(100, 5) & 0xFFFFFF, Background & 0xFFFFFF);
    EXPECT_EQ(shot.pixel(199, 0) & 0xFFFFFF, TopRight & 0xFFFFFF);
}

TEST_F(SkinDialogTest, setSkinTurnsAPlainDialogIntoASkinnedOne)
{
    SkinDialog dialog(102);
    SkinFrameImages images = DialogImages;
    images.leftTop = 0; // the bar then starts with middle slices
    dialog.setSkin(library, images);
    dialog.resize(200, 73);
    dialog.show();
    EXPECT_TRUE(dialog.isSkinned());
    EXPECT_EQ(at(dialog, 5, 20), leftMiddleRow(0) & 0xFFFFFF);
    EXPECT_EQ(at(dialog, 5, 24), leftMiddleRow(4) & 0xFFFFFF);
    EXPECT_EQ(at(dialog, 5, 25), leftMiddleRow(0) & 0xFFFFFF);
}

TEST_F(SkinDialogTest, modalRunEndsUninitialised)
{
    SkinDialog dialog(133, library, DialogImages);
    bool initialisedWhileRunning = false;
    QTimer::singleShot(0, &dialog, [&] {
        initialisedWhileRunning = dialog.isInitialised();
        dialog.accept();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(initialisedWhileRunning);
    EXPECT_FALSE(dialog.isInitialised());
}

} // namespace
} // namespace mailvane::widgets
