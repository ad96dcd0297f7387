#include "ProgramVersion.h"

#include <gtest/gtest.h>

// The About box reads the version from the program file on disk: the shipped
// window program must carry the record, not only the test programs.
TEST(ProgramFile, windowProgramCarriesItsVersionRecord)
{
    const auto version =
        mailvane::platform::ProgramVersion::readFileVersion(QStringLiteral(MAILVANE_APP_PATH));
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(*version, (mailvane::platform::FileVersion{MAILVANE_EXPECTED_VERSION}));
}
