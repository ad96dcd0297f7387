#include "DiagnosticTrace.h"

#include "TraceCapture.h"

#include <gtest/gtest.h>

namespace mailvane::platform {
namespace {

TEST(DiagnosticTrace, isSilentUnlessSwitchedOn)
{
    EXPECT_FALSE(diagnosticTraceCategory().isDebugEnabled());
    EXPECT_FALSE(diagnosticTraceCategory().isInfoEnabled());
}

TEST(DiagnosticTrace, passesTextsUnchangedWhenSwitchedOn)
{
    test::TraceCapture trace;
    diagnosticTrace("Error in COBitmapUtil::CreateBitmapFromData, SetDIBits returned 0.\n");
    diagnosticTrace("two  blanks \"quoted\"");
    ASSERT_EQ(trace.lines().size(), 2);
    EXPECT_EQ(
        trace.lines()[0],
        QStringLiteral("Error in COBitmapUtil::CreateBitmapFromData, SetDIBits returned 0.\n"));
    EXPECT_EQ(trace.lines()[1], QStringLiteral("two  blanks \"quoted\""));
}

} // namespace
} // namespace mailvane::platform
