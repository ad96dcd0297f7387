#include "ProgramSettings.h"

#include "ProgramLocation.h"
#include "TempDir.h"

#include <QSettings>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace mailvane::platform {
namespace {

namespace fs = std::filesystem;

void writeText(const fs::path& file, const std::string& text)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

// Each case: the system-wide files (in two XDG folders) and the installed
// one as a person or the Qt settings store writes them, and the value read.
// The Qt store's own reading is the second, independent answer.
struct Case
{
    const char* name;
    std::string firstXdg;  // Orvex/Quill.conf in the first folder
    std::string secondXdg; // Orvex/Quill.conf in the second folder
    std::string orgWide;   // Orvex.conf in the first folder
    std::string installed; // Quill.conf beside the program's install
    const char* key;
    const char* expected;
};

const Case Cases[] = {
    {"blanksInNamesAreEscaped", "[General]\nResource%20Path=/opt/skins\n", "", "", "",
     "Resource Path", "/opt/skins"},
    {"groupAndKey", "[Phone]\nDevice = gammu:/dev/ttyUSB0 \n", "", "", "", "Phone/Device",
     "gammu:/dev/ttyUSB0"},
    {"quotedKeepsBlanksAndEscapes", "[General]\nResource%20Path=\" /opt/my skins\\\\x\"\n", "", "",
     "", "Resource Path", " /opt/my skins\\x"},
    {"onlyAGroupMakesAGroup", "[General]\nPhone\\Device=sim:/var/phone\n", "", "", "",
     "Phone/Device", ""},
    {"commentsAndOtherGroupsIgnored", ";Device=a\n[Skin]\nDevice=b\n[Phone]\n#x=y\nDevice=c\n", "",
     "", "", "Phone/Device", "c"},
    {"lastOfTwoEqualKeysHolds", "[Phone]\nDevice=a\nDevice=b\n", "", "", "", "Phone/Device", "b"},
    {"listHasNoSingleText", "[Phone]\nDevice=a,b\n", "", "", "", "Phone/Device", ""},
    {"firstFolderWins", "[Phone]\nDevice=first\n", "[Phone]\nDevice=second\n", "", "",
     "Phone/Device", "first"},
    {"laterFolderFillsAGap", "[Phone]\nProxy=p\n", "[Phone]\nDevice=second\n", "", "",
     "Phone/Device", "second"},
    {"organizationFileAfterTheApplicationFiles", "", "[Phone]\nDevice=app\n",
     "[Phone]\nDevice=org\n", "", "Phone/Device", "app"},
    {"systemWideBeforeInstalled", "[Phone]\nDevice=none\n", "", "", "[Phone]\nDevice=sim:/x\n",
     "Phone/Device", "none"},
    {"installedFillsWhatSystemWideLacks", "[Phone]\nDevice=none\n", "", "",
     "[General]\nResource%20Path=../share/mailvane\n", "Resource Path", "../share/mailvane"},
    {"missingEverywhere", "[Phone]\nDevice=none\n", "", "", "", "Current Resource", ""},
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.name;
}

class ProgramSettingsTest : public ::testing::TestWithParam<Case>
{
protected:
    void TearDown() override { ::unsetenv("XDG_CONFIG_DIRS"); }
};

TEST_P(ProgramSettingsTest, readsTheValueTheQtStoreReads)
{
    const Case& c = GetParam();
    test::TempDir root;
    const fs::path first = root / "first";
    const fs::path second = root / "second";
    const fs::path programDir = root / "prefix" / "bin";
    if (!c.firstXdg.empty())
        writeText(first / "Orvex" / "Quill.conf", c.firstXdg);
    if (!c.secondXdg.empty())
        writeText(second / "Orvex" / "Quill.conf", c.secondXdg);
    if (!c.orgWide.empty())
        writeText(first / "Orvex.conf", c.orgWide);
    if (!c.installed.empty())
        writeText(installedConfigDirectory(programDir) / "Quill.conf", c.installed);
    ::setenv("XDG_CONFIG_DIRS", (first.string() + ":" + second.string()).c_str(), 1);

    EXPECT_EQ(readProgramSetting(c.key, programDir), c.expected);
    if (!c.installed.empty())
        return;
    // A program without a known folder reads the system-wide files only, as
    // the Qt store reads them.
    EXPECT_EQ(readProgramSetting(c.key, fs::path()), c.expected);
    const QSettings qtStore(QSettings::NativeFormat, QSettings::SystemScope,
                            QLatin1String(ProgramSettingsOrganization),
                            QLatin1String(ProgramSettingsApplication));
    EXPECT_EQ(qtStore.value(QLatin1String(c.key)).toString().toStdString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Files, ProgramSettingsTest, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace mailvane::platform
