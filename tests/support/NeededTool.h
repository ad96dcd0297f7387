#pragma once

// For a test that needs a tool scripts/setup installs. On a developer's
// machine without it the test is skipped; under CI=true it fails, since
// there a skip would hide a broken install step.

#include <cstdlib>
#include <gtest/gtest.h>
#include <string_view>

namespace mailvane::test {

inline bool runningUnderCi()
{
    const char* ci = std::getenv("CI");
    return ci && std::string_view(ci) == "true";
}

} // namespace mailvane::test

// Ends the calling test (or its SetUp) when `available` is false: a failure
// under CI=true, a skip elsewhere, with `why` in either case.
#define MAILVANE_NEED_TOOL(available, why)                                                         \
    do {                                                                                           \
        if (!(available)) {                                                                        \
            if (::mailvane::test::runningUnderCi())                                                \
                GTEST_FAIL() << why;                                                               \
            else                                                                                   \
                GTEST_SKIP() << why;                                                               \
        }                                                                                          \
    } while (false)
