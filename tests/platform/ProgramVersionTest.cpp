#include "ProgramVersion.h"

#include <gtest/gtest.h>

namespace mailvane::platform {
namespace {

TEST(ProgramVersion, namesTheProgramFileByTheQuoteRule)
{
    EXPECT_EQ(ProgramVersion::programFileOf(QStringLiteral("\"/opt/mail vane/app\" -x")),
              QStringLiteral("/opt/mail vane/app"));
    EXPECT_EQ(ProgramVersion::programFileOf(QStringLiteral("/opt/app")),
              QStringLiteral("/opt/app"));
    EXPECT_EQ(ProgramVersion::programFileOf(QStringLiteral("/opt/app\"x\"")),
              QStringLiteral("/opt/app"));
    EXPECT_EQ(ProgramVersion::programFileOf(QStringLiteral("\"/opt/app")),
              QStringLiteral("/opt/app"));
}

} // namespace
} // namespace mailvane::platform
