#include "TokenTableLocator.h"

#include "TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using mailvane::provisioning::locateTokenTable;
namespace fs = std::filesystem;

// Which table a program takes, by where tables lie: the build tree (a table
// beside the program) lets the current folder's table win; an installed
// program reads only its data folder, whatever lies in the current folder.
TEST(TokenTableLocator, installedProgramsReadOnlyTheirDataFolder)
{
    enum class Found { Nothing, Work, Beside, Data };
    struct Case {
        const char* name;
        bool inWork, beside, inData;
        Found expected;
    };
    const Case cases[] = {
        {"nothing anywhere", false, false, false, Found::Nothing},
        {"build tree", false, true, false, Found::Beside},
        {"build tree, table in the current folder", true, true, true, Found::Work},
        {"installed", false, false, true, Found::Data},
        {"installed, table planted in the current folder", true, false, true, Found::Data},
        {"installed without a table, one in the current folder", true, false, false, Found::Nothing},
    };
    const fs::path previous = fs::current_path();
    for (const Case& c : cases) {
        mailvane::test::TempDir work, exeDir, dataDir;
        fs::current_path(work.path());
        if (c.inWork)
            std::ofstream("table.dat") << "x 01\n";
        if (c.beside)
            std::ofstream(exeDir / "table.dat") << "x 01\n";
        if (c.inData)
            std::ofstream(dataDir / "table.dat") << "x 01\n";
        const std::optional<fs::path> expected[] = {std::nullopt, fs::path("table.dat"),
                                                    exeDir / "table.dat", dataDir / "table.dat"};
        EXPECT_EQ(locateTokenTable(exeDir.path(), dataDir.path()),
                  expected[static_cast<int>(c.expected)])
            << c.name;
        fs::current_path(previous);
    }
}

// A program that cannot tell its own folder guesses nowhere: a relative
// folder would be read from the current one.
TEST(TokenTableLocator, unknownProgramFolderFindsNothing)
{
    mailvane::test::TempDir work;
    const fs::path previous = fs::current_path();
    fs::current_path(work.path());
    fs::create_directory("data");
    std::ofstream("table.dat") << "x 01\n";
    std::ofstream("data/table.dat") << "x 01\n";
    EXPECT_FALSE(locateTokenTable(fs::path(), "data").has_value());
    EXPECT_FALSE(locateTokenTable(".", "data").has_value());
    fs::current_path(previous);
}
