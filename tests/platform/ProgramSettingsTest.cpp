#include "ProgramSettings.h"

#include "TempDir.h"

#include <QSettings>
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

} // namespace
} // namespace mailvane::platform
