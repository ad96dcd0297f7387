#include "SkinLibraryLocator.h"

#include "TempDir.h"
#include "TestResourceBundle.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <cstdlib>
#include <gtest/gtest.h>

namespace mailvane::skin {
namespace {

const QString Sep = QDir::separator();

TEST(SkinLibraryLocator, composesFolderSeparatorPrefixNameAndExtension)
{
    EXPECT_EQ(composeSkinLibraryPath(QStringLiteral("/opt/Skins"), QStringLiteral("Blue")),
              QStringLiteral("/opt/Skins") + Sep + QStringLiteral("Graphics_Blue.ogr"));
    EXPECT_EQ(composeSkinLibraryPath(QStringLiteral("/opt/Skins"), QString()),
              QStringLiteral("/opt/Skins") + Sep + QStringLiteral("Graphics_.ogr"));
    // A skin name longer than the folder is taken whole.
    const QString longName(200, QLatin1Char('n'));
    EXPECT_EQ(composeSkinLibraryPath(QStringLiteral("/s"), longName),
              QStringLiteral("/s") + Sep + QStringLiteral("Graphics_") + longName +
                  QStringLiteral(".ogr"));
}

TEST(SkinLibraryLocator, honoursTheTwoHundredFiftyNineCharacterLimit)
{
    const QString fixed = Sep + QStringLiteral("Graphics_") + QStringLiteral(".ogr"); // 14
    const QString folder(SkinPathLimit - fixed.size(), QLatin1Char('f'));
    EXPECT_EQ(composeSkinLibraryPath(folder, QString()).size(), SkinPathLimit);
    EXPECT_TRUE(composeSkinLibraryPath(folder, QStringLiteral("x")).isEmpty());
    // A value over the limit reads as missing.
    EXPECT_EQ(composeSkinLibraryPath(QString(SkinPathLimit + 1, QLatin1Char('f')),
                                     QStringLiteral("Blue")),
              Sep + QStringLiteral("Graphics_Blue.ogr"));
}

class SkinLibrarySettings : public ::testing::Test
{
protected:
    void SetUp() override { ::setenv("XDG_CONFIG_DIRS", m_folder.path().c_str(), 1); }
    void TearDown() override { ::unsetenv("XDG_CONFIG_DIRS"); }
    QString folderPath() const { return QString::fromStdString(m_folder.path().string()); }
    void write(const char* name, const QString& value)
    {
        QSettings(folderPath() + QStringLiteral("/Orvex/Quill.conf"), QSettings::IniFormat)
            .setValue(QLatin1String(name), value);
    }

private:
    test::TempDir m_folder;
};

TEST_F(SkinLibrarySettings, missingSettingsGiveNoPathAndNoLibrary)
{
    EXPECT_TRUE(locateSkinLibrary().isEmpty());
    EXPECT_TRUE(loadSkinLibrary().isEmpty());
}

TEST_F(SkinLibrarySettings, settingsNameTheLibraryThatIsLoaded)
{
    test::TestResourceBundle bundle;
    bundle.add(QStringLiteral("BITMAP"), QStringLiteral("145.bmp"), "picture");
    const QString built = bundle.build();
    ASSERT_FALSE(built.isEmpty());
    const QString skinFile = folderPath() + QStringLiteral("/Graphics_Blue.ogr");
    ASSERT_TRUE(QFile::copy(built, skinFile));

    write(ResourcePathSetting, folderPath());
    write(CurrentResourceSetting, QStringLiteral("Blue"));
    EXPECT_EQ(QDir::cleanPath(locateSkinLibrary()), skinFile);
    platform::LibraryHandle library = loadSkinLibrary();
    ASSERT_FALSE(library.isEmpty());
    EXPECT_EQ(platform::loadResourceData(library, QStringLiteral("BITMAP"), QStringLiteral("145")),
              QByteArray("picture"));
    platform::freeResourceLibrary(library);
}

TEST_F(SkinLibrarySettings, unknownSkinNameLoadsNothing)
{
    write(ResourcePathSetting, folderPath());
    EXPECT_EQ(QDir::cleanPath(locateSkinLibrary()),
              folderPath() + QStringLiteral("/Graphics_.ogr"));
    EXPECT_TRUE(loadSkinLibrary().isEmpty());
}

} // namespace
} // namespace mailvane::skin
