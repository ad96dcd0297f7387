// Runs at a scale factor of 2 (its main sets QT_SCALE_FACTOR): two device
// pixels for each pixel. What the toolkit composes or draws itself must use
// them, not show a picture made for one device pixel enlarged.

#include "DialogButton.h"
#include "MessageBoxWindow.h"
#include "SkinHorizontalBar.h"
#include "SkinMessageBox.h"
#include "SkinPictures.h"
#include "SkinTabBar.h"
#include "SplashScreen.h"
#include "TestResourceBundle.h"

#include <QApplication>
#include <QStyle>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

namespace mailvane::widgets {
namespace {

QImage flat(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// `image` with a line one device pixel wide down its left edge.
QImage withLeftLine(QImage image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y)
        image.setPixel(0, y, colour);
    return image;
}

// Whether some aligned 2 × 2 block of device pixels is not one colour: a
// picture enlarged from one device pixel per pixel has none.
bool hasDetailFinerThanAPixel(const QImage& image)
{
    for (int y = 0; y + 1 < image.height(); y += 2)
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb c = image.pixel(x, y);
            if (image.pixel(x + 1, y) != c || image.pixel(x, y + 1) != c ||
                image.pixel(x + 1, y + 1) != c)
                return true;
        }
    return false;
}

TEST(ScaleTwo, messageBoxIconsAreDrawnAtTheScreensResolution)
{
    ASSERT_EQ(qApp->devicePixelRatio(), 2.0);
    QWidget owner;
    for (unsigned flags : {SkinMessageBox::MbIconHand, SkinMessageBox::MbIconExclamation,
                           SkinMessageBox::MbIconAsterisk}) {
        SCOPED_TRACE(flags);
        MessageBoxWindow box(&owner, QStringLiteral("Text"), QStringLiteral("Caption"), flags);
        const int extent = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
        const QPixmap icon = box.iconPixmap();
        EXPECT_EQ(icon.deviceIndependentSize().toSize(), QSize(extent, extent));
        EXPECT_EQ(icon.width(), 2 * extent);
        EXPECT_TRUE(hasDetailFinerThanAPixel(icon.toImage()));
    }
}

TEST(ScaleTwo, theTabStripIsComposedAtTheScreensResolutionFromTheFinerPictures)
{
    ASSERT_EQ(qApp->devicePixelRatio(), 2.0);
    using S = SkinTabBar::Slot;
    constexpr QRgb Plain = 0xFF8090A0;
    constexpr QRgb Fine = 0xFF102030;
    // Every picture flat; the selected tab's middle also comes finer, with a
    // line one device pixel wide down its left edge.
    test::TestResourceBundle bundle;
    for (int slot = 0; slot < S::SlotCount; ++slot) {
        const bool selectedRow = slot == S::SelectedFirstLeft || slot == S::SelectedLeft ||
                                 slot == S::SelectedMiddle || slot == S::SelectedRight ||
                                 slot == S::SelectedLastRight;
        bundle.addBitmap(QString::number(SkinTabBar::MainSheetNumbers[slot]),
                         flat(slot == S::SelectedMiddle ? 4 : 8, selectedRow ? 24 : 20, Plain));
    }
    bundle.addBitmap(QString::number(SkinTabBar::MainSheetNumbers[S::SelectedMiddle]) +
                         QStringLiteral("@2x"),
                     withLeftLine(flat(8, 48, Plain), Fine));
    const platform::LibraryHandle skin = bundle.load();
    ASSERT_FALSE(skin.isEmpty());

    SkinTabBar tabs;
    tabs.resize(300, 120);
    for (const char* text : {"General", "Advanced", "Incoming"})
        tabs.addTab(QString::fromLatin1(text));
    tabs.setSkin(skin, SkinTabBar::MainSheetNumbers);
    tabs.setBackground(flat(400, 400, 0xFFFFFFFF), 0, 0);
    tabs.setCurrentIndex(1);
    tabs.show();
    QApplication::processEvents();
    tabs.recompose();

    const QImage& composition = tabs.composition();
    EXPECT_EQ(composition.devicePixelRatio(), 2.0);
    ASSERT_EQ(composition.size(), tabs.size() * 2);
    // In the top rows only the selected tab is drawn: its middle tiles show
    // the fine line, one device pixel wide; the flat pictures around it,
    // enlarged, keep their colour.
    int fineLines = 0;
    for (int x = 1; x + 1 < composition.width(); ++x) {
        if (composition.pixel(x, 2) == Fine && composition.pixel(x - 1, 2) != Fine &&
            composition.pixel(x + 1, 2) != Fine)
            ++fineLines;
    }
    EXPECT_GT(fineLines, 2);
    const QRect selected = tabs.itemRect(1);
    EXPECT_EQ(composition.pixel(2 * selected.left() + 2, 2), Plain);
}

TEST(ScaleTwo, skinPiecesTakeTheFinerPicturesAndEnlargeThoseWithout)
{
    ASSERT_EQ(qApp->devicePixelRatio(), 2.0);
    constexpr QRgb Plain = 0xFF8090A0;
    constexpr QRgb Fine = 0xFF102030;
    constexpr QRgb Behind = 0xFF40C040;
    const struct
    {
        const char* surface;
        int left, middle, right;
        // The right piece wholly transparent: what lies behind shows through.
        bool clearRight;
        std::function<QImage(const platform::LibraryHandle&)> shoot;
    } cases[] = {
        {"dialog bar", 143, 142, 141, true,
         [&](const platform::LibraryHandle& skin) {
             const QImage background = flat(100, 100, Behind);
             SkinHorizontalBar bar(1, nullptr);
             bar.resize(40, 10);
             bar.setPieces(skin, 143, 142, 141);
             bar.setBlendBackground(&background);
             return bar.grab().toImage();
         }},
        {"button", ButtonStatePictures[0].left, ButtonStatePictures[0].middle,
         ButtonStatePictures[0].right, false,
         [](const platform::LibraryHandle& skin) {
             QWidget dialog;
             SkinButton button;
             createSkinnedButton(button, skin, &dialog, QPoint(0, 0), 1, QString());
             button.window()->resize(40, 10);
             return button.window()->grab().toImage();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.surface);
        // The left piece comes finer, with a line one device pixel wide down
        // its left edge; the others only plain.
        test::TestResourceBundle bundle;
        bundle.addBitmap(QString::number(c.left), flat(16, 10, Plain));
        bundle.addBitmap(QString::number(c.left) + QStringLiteral("@2x"),
                         withLeftLine(flat(32, 20, Plain), Fine));
        bundle.addBitmap(QString::number(c.middle), flat(4, 10, Plain));
        if (c.clearRight) {
            QImage clear(8, 10, QImage::Format_ARGB32);
            clear.fill(qRgba(255, 255, 255, 0));
            bundle.addPng(QString::number(c.right), clear);
        } else {
            bundle.addBitmap(QString::number(c.right), flat(8, 10, Plain));
        }
        const platform::LibraryHandle skin = bundle.load();
        ASSERT_FALSE(skin.isEmpty());

        const QImage shot = c.shoot(skin);
        ASSERT_EQ(shot.size(), QSize(80, 20));
        EXPECT_EQ(shot.pixel(0, 5), Fine);
        EXPECT_EQ(shot.pixel(1, 5), Plain);
        EXPECT_EQ(shot.pixel(40, 5), Plain);
        if (c.clearRight) {
            const QRgb seen = shot.pixel(80 - 16, 19);
            EXPECT_NEAR(qGreen(seen), qGreen(Behind), 1);
            EXPECT_NEAR(qRed(seen), qRed(Behind), 1);
        }
        EXPECT_FALSE(hasDetailFinerThanAPixel(shot.copy(32, 0, 48, 20)));
    }
}

TEST(ScaleTwo, theSplashShowsItsFinerPictureCutToThePlainOnesShape)
{
    ASSERT_EQ(qApp->devicePixelRatio(), 2.0);
    constexpr QRgb Plain = 0xFF8090A0;
    constexpr QRgb Fine = 0xFF102030;
    // Left half opaque, right half transparent; the finer picture with a line.
    const auto halfClear = [](int w, int h) {
        QImage image(w, h, QImage::Format_ARGB32);
        image.fill(qRgba(255, 255, 255, 0));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w / 2; ++x)
                image.setPixel(x, y, Plain);
        return image;
    };
    test::TestResourceBundle bundle;
    bundle.addPng(QStringLiteral("137"), halfClear(40, 20));
    bundle.addPng(QStringLiteral("137@2x"), withLeftLine(halfClear(80, 40), Fine));
    const platform::LibraryHandle skin = bundle.load();
    ASSERT_FALSE(skin.isEmpty());

    SplashScreen splash(skin, 137);
    splash.setDesktopSource([](const QRect& area) { return flat(area.width(), area.height(), 0); });
    ASSERT_TRUE(splash.show(0, 0));
    EXPECT_EQ(splash.window()->size(), QSize(40, 20));
    EXPECT_TRUE(splash.window()->mask().xored(QRegion(0, 0, 20, 20)).isEmpty());
    const QImage shot = splash.window()->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(80, 40));
    // Blended through an opaque mask, a channel may lose one.
    EXPECT_NEAR(qRed(shot.pixel(0, 10)), qRed(Fine), 1);
    EXPECT_NEAR(qRed(shot.pixel(1, 10)), qRed(Plain), 1);
    EXPECT_TRUE(splash.hide(0));
}

} // namespace
} // namespace mailvane::widgets

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_SCALE_FACTOR", "2", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
