#include "AboutBox.h"
#include "ProgramVersion.h"
#include "SplashScreen.h"
#include "TestResourceBundle.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

// This test program carries a version record like the application's.
MAILVANE_EMBED_FILE_VERSION("1.0.0.1");

namespace mailvane::widgets {
namespace {

// A 40 × 20 splash: left half opaque red, right half transparent, one
// half-transparent column at x = 10.
QImage splashPicture()
{
    QImage image(40, 20, QImage::Format_ARGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            image.setPixel(x, y,
                           x < 20 ? qRgba(200, 0, 0, x == 10 ? 128 : 255) : qRgba(0, 0, 0, 0));
    return image;
}

class SplashTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bundle.addPng(QStringLiteral("137"), splashPicture());
        QImage square(30, 30, QImage::Format_RGB32);
        square.fill(qRgb(0, 90, 0));
        bundle.addPng(QStringLiteral("138"), square);
        skin = bundle.load();
        ASSERT_FALSE(skin.isEmpty());
    }
    static QImage desktop(const QRect& area)
    {
        QImage image(area.size(), QImage::Format_RGB32);
        image.fill(qRgb(0, 100, 250));
        return image;
    }
    test::TestResourceBundle bundle;
    platform::LibraryHandle skin;
};

TEST_F(SplashTest, composesThePictureOverTheCapturedDesktopByteForByte)
{
    SplashScreen splash(skin, 137);
    splash.setDesktopSource(desktop);
    splash.compose(QRect(0, 0, 40, 20));
    const QImage composite = splash.image().frame(skin::LayeredImage::Composite, 0);
    ASSERT_EQ(composite.size(), QSize(40, 20));
    const auto at = [&](int x) {
        const uchar* p = composite.constScanLine(5) + x * 3; // blue, green, red
        return std::array<int, 3>{p[2], p[1], p[0]};
    };
    // (background × mask + picture × (255 − mask)) / 256, mask = 255 − alpha.
    EXPECT_EQ(at(0), (std::array<int, 3>{200 * 255 / 256, 0, 0}));
    EXPECT_EQ(at(30), (std::array<int, 3>{0, 100 * 255 / 256, 250 * 255 / 256}));
    const int m = 255 - 128;
    EXPECT_EQ(at(10),
              (std::array<int, 3>{(200 * (255 - m)) / 256, (100 * m) / 256, (250 * m) / 256}));
}

TEST_F(SplashTest, showsOnceWithTheMaskAsRegionAndKeepsTheEventLoopRunning)
{
    ASSERT_FALSE(SplashScreen::animationAvailable()); // offscreen
    SplashScreen splash(skin, 137);
    splash.setDesktopSource(desktop);
    bool ranDuringWait = false;
    QTimer::singleShot(5, qApp,
                       [&] { ranDuringWait = splash.window() && splash.window()->isVisible(); });
    ASSERT_TRUE(splash.show(40, 0));
    EXPECT_TRUE(ranDuringWait);
    EXPECT_EQ(SplashScreen::current(), &splash);
    ASSERT_NE(splash.window(), nullptr);
    EXPECT_EQ(splash.window()->objectName(), QStringLiteral("QuillSplashWnd"));
    EXPECT_TRUE(splash.window()->mask().xored(QRegion(0, 0, 20, 20)).isEmpty());
    EXPECT_FALSE(splash.show(0, 0)) << "a second show is refused";
    EXPECT_TRUE(splash.hide(0));
    EXPECT_EQ(splash.window(), nullptr);
    EXPECT_EQ(SplashScreen::current(), nullptr);
    EXPECT_FALSE(splash.hide(0));
    EXPECT_TRUE(splash.showFor(0, 0, 0)) << "shown again once hidden";
}

TEST_F(SplashTest, workGivenToTheSplashRunsOnceWhileItIsUp)
{
    SplashScreen splash(skin, 137);
    splash.setDesktopSource(desktop);
    int runs = 0;
    bool splashWasUp = false;
    ASSERT_TRUE(splash.showFor(0, 0, 0, [&] {
        ++runs;
        splashWasUp = splash.window() && splash.window()->isVisible();
    }));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(splashWasUp);
    EXPECT_EQ(splash.window(), nullptr) << "hidden after the work";

    SplashScreen missing(skin, 999);
    EXPECT_FALSE(missing.showFor(0, 0, 0, [&] { ++runs; }));
    EXPECT_EQ(runs, 1) << "no splash, no work: the caller does it";
}

TEST_F(SplashTest, aPictureWithoutAlphaIsARectangleAndAMissingOneSkipsSilently)
{
    SplashScreen plain(skin, 138);
    ASSERT_TRUE(plain.show(0, 0));
    EXPECT_TRUE(plain.window()->mask().isEmpty());
    EXPECT_TRUE(plain.image().frame(skin::LayeredImage::Composite, 0).isNull());
    plain.hide(0);

    SplashScreen missing(skin, 999);
    EXPECT_FALSE(missing.hasPicture());
    EXPECT_FALSE(missing.showFor(1500, 250, 250));
    EXPECT_EQ(missing.window(), nullptr);
}

TEST(SplashScreen, isCentredAndGoesNegativeWhenLargerThanTheDesktop)
{
    struct Case
    {
        QRect desktop;
        QSize picture;
        QPoint expected;
    };
    const Case cases[] = {
        {{0, 0, 1000, 800}, {200, 100}, {400, 350}},
        {{0, 0, 1000, 800}, {201, 101}, {399, 349}},
        {{0, 0, 1000, 800}, {1101, 900}, {-50, -50}},
        {{1920, 0, 1280, 1024}, {300, 200}, {1920 + 490, 412}},
    };
    for (const Case& c : cases) {
        const QRect place = SplashScreen::placement(c.desktop, c.picture);
        EXPECT_EQ(place.topLeft(), c.expected);
        EXPECT_EQ(place.size(), c.picture);
    }
}

TEST(AboutBox, nameLineCarriesTheBuildNumberOfTheProgramFile)
{
    QTemporaryDir folder;
    const auto file = [&](const char* name, const QByteArray& bytes) {
        const QString path = folder.filePath(QString::fromLatin1(name));
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return path;
    };
    const QByteArray marker(MAILVANE_VERSION_MARKER);
    const QString versioned =
        file("versioned", "junk" + marker + "bad" + marker + QByteArray("2.5.7.42", 9) + "tail");
    const QString threeParts = file("three-parts", marker + QByteArray("2.5.7", 6));
    const QString tooLarge = file("too-large", marker + QByteArray("1.0.0.70000", 12));
    const QString self = QCoreApplication::applicationFilePath();
    struct Case
    {
        QString pathText;
        const char* expected;
    };
    const Case cases[] = {
        {versioned, "Mailvane.42.012"},
        {QLatin1Char('"') + versioned + QStringLiteral("\" /flag"), "Mailvane.42.012"},
        {QLatin1Char('"') + self + QLatin1Char('"'), "Mailvane.1.012"},
        {self, "Mailvane.1.012"},
        {threeParts, "Mailvane.012"},
        {tooLarge, "Mailvane.012"},
        {folder.filePath(QStringLiteral("missing")), "Mailvane.012"},
        {self + QStringLiteral(" --flag"), "Mailvane.012"}, // no quotes: the whole text
    };
    for (const Case& c : cases)
        EXPECT_EQ(AboutBox::nameAndVersion(c.pathText), QString::fromLatin1(c.expected))
            << c.pathText.toStdString();
}

TEST(AboutBox, emblemIsBlendedOntoTheFaceColourAndRebuiltOnAPaletteChange)
{
    QImage emblem(3, 1, QImage::Format_RGB32);
    emblem.fill(qRgb(200, 100, 50));
    QImage mask(3, 1, QImage::Format_RGB32);
    mask.setPixel(0, 0, qRgb(0, 0, 0));
    mask.setPixel(1, 0, qRgb(128, 128, 128));
    mask.setPixel(2, 0, qRgb(255, 255, 255));
    const QColor face(240, 230, 220);
    const QImage out = AboutBox::composeEmblem(emblem, mask, face);
    const auto blend = [](int m, int f, int e) {
        return (m * f + (255 - m) * e) / 256;
    };
    for (int x = 0; x < 3; ++x) {
        const int m = qRed(mask.pixel(x, 0));
        EXPECT_EQ(out.pixel(x, 0), qRgb(blend(m, 240, 200), blend(m, 230, 100), blend(m, 220, 50)))
            << x;
    }

    test::TestResourceBundle bundle;
    bundle.addBitmap(QStringLiteral("185"), emblem);
    bundle.addBitmap(QStringLiteral("184"), mask);
    const platform::LibraryHandle skin = bundle.load();
    AboutBox box(nullptr, skin, 171, 185, 184, QString(), QStringLiteral("free"));
    box.grab();
    const QColor before = box.palette().color(QPalette::Button);
    EXPECT_EQ(box.composedEmblem(), AboutBox::composeEmblem(emblem, mask, before));
    QPalette changed = box.palette();
    changed.setColor(QPalette::Button, QColor(10, 20, 30));
    box.setPalette(changed);
    box.grab();
    EXPECT_EQ(box.composedEmblem(), AboutBox::composeEmblem(emblem, mask, QColor(10, 20, 30)));
    EXPECT_EQ(box.nameLine(), QStringLiteral("Mailvane.1.012")); // from the command line
    EXPECT_FALSE(AboutBox::show(nullptr, {}, 171, 185, 184, QString(), QString()));
    // Closing ends the box with 1, as its OK button does.
    QTimer::singleShot(0, &box, [&box] { box.close(); });
    EXPECT_EQ(box.exec(), 1);
}

} // namespace
} // namespace mailvane::widgets
