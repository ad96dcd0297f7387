#include "DisplayPngDecoder.h"
#include "SkinImage.h"
#include "SkinLibraryLocator.h"

#include <QDir>
#include <cstdlib>
#include <gtest/gtest.h>

namespace mailvane::skin {
namespace {

const QString SkinFile = QStringLiteral(MAILVANE_DEFAULT_SKIN);

class DefaultSkin : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_library = platform::loadResourceLibrary(SkinFile); }
    static void TearDownTestSuite() { platform::freeResourceLibrary(s_library); }
    void SetUp() override { ASSERT_FALSE(s_library.isEmpty()) << qPrintable(SkinFile); }

    static SkinImage load(int number)
    {
        SkinImage image;
        image.load(s_library, number);
        return image;
    }

    static inline platform::LibraryHandle s_library;
};

// Every picture the program asks for by number.
const int ProgramPictures[] = {120, 121, 122, 123, 124, 125, 126, 127, 131, 132, 133,
                               136, 137, 140, 141, 142, 143, 144, 145, 146, 147, 149,
                               150, 151, 152, 154, 155, 156, 158, 159, 160, 161, 162,
                               163, 164, 165, 166, 167, 168, 169, 170, 171, 184, 185};

TEST_F(DefaultSkin, holdsEveryNumberedPicture)
{
    for (int number : ProgramPictures) {
        const SkinImage image = load(number);
        EXPECT_FALSE(image.colour().isNull()) << number;
        if (!image.mask().isNull()) {
            EXPECT_EQ(image.mask().size(), image.colour().size()) << number;
        }
    }
}

TEST_F(DefaultSkin, holdsTheFileDialogBitmapsByName)
{
    const char* names[] = {"IDB_BAR_TOP",         "IDB_BAR_TOP_LEFT",      "IDB_BAR_LEFT_BOTTOM",
                           "IDB_BAR_LEFT",        "IDB_DECOR_LEFT",        "IDB_DECOR_MIDDLE",
                           "IDB_DECOR_RIGHT",     "OPENSAVE_TOP_RIGHT",    "OPENSAVE_TOP",
                           "OPENSAVE_TOP_LEFT",   "OPENSAVE_LEFT_BOTTOM",  "OPENSAVE_LEFT",
                           "OPENSAVE_DECOR_LEFT", "OPENSAVE_DECOR_MIDDLE", "OPENSAVE_DECOR_RIGHT"};
    for (const char* name : names) {
        const QByteArray bytes = platform::loadResourceData(
            s_library, QLatin1String(platform::BitmapResourceType), QLatin1String(name));
        EXPECT_FALSE(QImage::fromData(bytes, "BMP").isNull()) << name;
    }
}

bool nearWhite(QRgb pixel)
{
    return qRed(pixel) >= 254 && qGreen(pixel) >= 254 && qBlue(pixel) >= 254;
}

struct ButtonSet
{
    int left, middle, right;
};
const ButtonSet ButtonStates[] = {
    {136, 120, 121}, {122, 124, 123}, {125, 127, 126}, {131, 133, 132}};

TEST_F(DefaultSkin, buttonCapsAreKeyedByWhiteExactlyWhereTheyAreTransparent)
{
    for (const ButtonSet& state : ButtonStates) {
        for (int number : {state.left, state.right}) {
            const SkinImage cap = load(number);
            ASSERT_FALSE(cap.mask().isNull()) << number;
            int keyed = 0;
            for (int y = 0; y < cap.colour().height(); ++y) {
                for (int x = 0; x < cap.colour().width(); ++x) {
                    const bool outByMask = cap.mask().constScanLine(y)[3 * x] >= 254;
                    const bool outByColour = nearWhite(cap.colour().pixel(x, y));
                    ASSERT_EQ(outByMask, outByColour) << number << " at " << x << "," << y;
                    keyed += outByMask;
                }
            }
            EXPECT_GT(keyed, 0) << number << " has rounded corners";
        }
        const QImage middle = load(state.middle).colour();
        for (int y = 0; y < middle.height(); ++y)
            for (int x = 0; x < middle.width(); ++x)
                ASSERT_FALSE(nearWhite(middle.pixel(x, y))) << state.middle;
    }
}

TEST_F(DefaultSkin, piecesThatMeetShareTheirMeasures)
{
    for (const ButtonSet& state : ButtonStates) {
        const int height = load(state.middle).colour().height();
        EXPECT_EQ(load(state.left).colour().height(), height);
        EXPECT_EQ(load(state.right).colour().height(), height);
    }
    for (const ButtonSet& bar : {ButtonSet{143, 142, 141}, ButtonSet{170, 168, 169}}) {
        const int height = load(bar.left).colour().height();
        EXPECT_EQ(load(bar.middle).colour().height(), height);
        EXPECT_EQ(load(bar.right).colour().height(), height);
    }
    const int barWidth = load(146).colour().width();
    EXPECT_EQ(load(140).colour().width(), barWidth);
    EXPECT_EQ(load(147).colour().width(), barWidth);
    // The tab strip is 24 pixels high; the selected tab fills it, the others
    // stand 4 lower.
    EXPECT_EQ(load(166).colour().height(), 24);
    EXPECT_EQ(load(162).colour().height(), 20);
    EXPECT_EQ(load(165).colour().width(), load(164).colour().width());
}

TEST_F(DefaultSkin, backgroundCoversLargeWindowsWithoutStretching)
{
    const QImage background = load(145).colour();
    EXPECT_GE(background.width(), 1280);
    EXPECT_GE(background.height(), 1024);
}

TEST_F(DefaultSkin, splashHasSoftTransparentEdgesAndAnOpaqueMiddle)
{
    const SkinImage splash = load(137);
    ASSERT_FALSE(splash.mask().isNull());
    const QImage& mask = splash.mask();
    EXPECT_EQ(mask.constScanLine(0)[0], 255);
    EXPECT_EQ(mask.constScanLine(mask.height() / 2)[3 * (mask.width() / 2)], 0);
    bool partial = false;
    for (int x = 0; x < mask.width() && !partial; ++x) {
        const uchar m = mask.constScanLine(mask.height() / 2)[3 * x];
        partial = m > 0 && m < 255;
    }
    EXPECT_TRUE(partial);
}

TEST_F(DefaultSkin, emblemAndItsMaskMatch)
{
    const QImage emblem = load(185).colour();
    const QImage mask = load(184).colour();
    EXPECT_EQ(emblem.size(), mask.size());
    EXPECT_TRUE(load(185).mask().isNull()); // the mask is a picture of its own
}

TEST(DefaultSkinSettings, buildSettingsNameTheBuiltSkin)
{
    ::setenv("XDG_CONFIG_DIRS", MAILVANE_BUILD_XDG_DIR, 1);
    EXPECT_EQ(QDir::cleanPath(locateSkinLibrary()), SkinFile);
    platform::LibraryHandle library = loadSkinLibrary();
    ::unsetenv("XDG_CONFIG_DIRS");
    EXPECT_FALSE(library.isEmpty());
    platform::freeResourceLibrary(library);
}

} // namespace
} // namespace mailvane::skin
