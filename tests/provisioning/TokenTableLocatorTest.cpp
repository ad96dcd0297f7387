#include "TokenTableLocator.h"

#include "TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using mailvane::provisioning::locateTokenTable;

TEST(TokenTableLocator, prefersTheCurrentDirectoryThenDataThenExecutableDir)
{
    mailvane::test::TempDir dataDir;
    mailvane::test::TempDir exeDir;
    mailvane::test::TempDir workDir;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(workDir.path());

    EXPECT_FALSE(locateTokenTable(exeDir.path(), dataDir.path()).has_value());
    std::ofstream(exeDir / "table.dat") << "x 01\n";
    EXPECT_EQ(locateTokenTable(exeDir.path(), dataDir.path()), exeDir / "table.dat");
    std::ofstream(dataDir / "table.dat") << "x 01\n";
    EXPECT_EQ(locateTokenTable(exeDir.path(), dataDir.path()), dataDir / "table.dat");
    std::filesystem::create_directory(workDir / "table.dat.d");
    std::ofstream("table.dat") << "x 01\n";
    EXPECT_EQ(locateTokenTable(exeDir.path(), dataDir.path()), std::filesystem::path("table.dat"));

    std::filesystem::current_path(previous);
}
