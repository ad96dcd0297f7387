#include "ProgramSettings.h"

#include "ProgramLocation.h"

#include "TempDir.h"

#include <QSettings>
#include <filesystem>
#include <gtest/gtest.h>

namespace mailvane::platform {
namespace {

// Points the system-wide settings at a fresh folder for one test.
class ProgramSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, folder());
    }
    QString folder() const { return QString::fromStdString(m_folder.path().string()); }
    void write(const QString& name, const QString& value)
    {
        QSettings store(QSettings::NativeFormat, QSettings::SystemScope,
                        QLatin1String(ProgramSettingsOrganization),
                        QLatin1String(ProgramSettingsApplication));
        store.setValue(name, value);
    }

private:
    test::TempDir m_folder;
};

TEST_F(ProgramSettingsTest, readsValuesWithBlanksInTheirNames)
{
    write(QStringLiteral("Resource Path"), QStringLiteral("/opt/skins"));
    write(QStringLiteral("Current Resource"), QStringLiteral("Blue"));
    EXPECT_EQ(readProgramSetting(QStringLiteral("Resource Path")), QStringLiteral("/opt/skins"));
    EXPECT_EQ(readProgramSetting(QStringLiteral("Current Resource")), QStringLiteral("Blue"));
}

TEST_F(ProgramSettingsTest, missingValueOrFileReadsEmpty)
{
    EXPECT_TRUE(readProgramSetting(QStringLiteral("Resource Path")).isEmpty());
    write(QStringLiteral("Resource Path"), QStringLiteral("/opt/skins"));
    EXPECT_TRUE(readProgramSetting(QStringLiteral("Current Resource")).isEmpty());
}

// An installed program reads the settings file installed with it, found from
// its own folder, for each value the system-wide folders do not hold.
TEST_F(ProgramSettingsTest, valueMissingSystemWideComesFromTheInstalledFile)
{
    test::TempDir prefix;
    const std::filesystem::path programDir = prefix / "bin";
    const std::filesystem::path configDir = installedConfigDirectory(programDir);
    std::filesystem::create_directories(configDir);
    {
        QSettings installed(QString::fromStdString((configDir / "Quill.conf").string()),
                            QSettings::IniFormat);
        installed.setValue(QStringLiteral("Resource Path"), QStringLiteral("../share/mailvane"));
        installed.setValue(QStringLiteral("Phone/Device"), QStringLiteral("sim:/var/phone"));
    }
    write(QStringLiteral("Phone/Device"), QStringLiteral("none"));
    const QString dir = QString::fromStdString(programDir.string());

    EXPECT_EQ(readProgramSetting(QStringLiteral("Resource Path"), dir),
              QStringLiteral("../share/mailvane"));
    EXPECT_EQ(readProgramSetting(QStringLiteral("Phone/Device"), dir), QStringLiteral("none"));
    EXPECT_TRUE(readProgramSetting(QStringLiteral("Current Resource"), dir).isEmpty());
    EXPECT_TRUE(readProgramSetting(QStringLiteral("Resource Path"), QString()).isEmpty());
}

} // namespace
} // namespace mailvane::platform
