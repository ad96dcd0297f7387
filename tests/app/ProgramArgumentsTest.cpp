#include "ProgramArguments.h"

#include <gtest/gtest.h>

namespace mailvane::app {
namespace {

TEST(ProgramArguments, oneFileAtMostAndAfterDoubleDashEverythingIsAFile)
{
    using A = ProgramArguments::Action;
    struct Case
    {
        std::vector<std::string> arguments;
        A action;
        std::string file;
    };
    const auto s = [](const char* text) {
        return std::string(text);
    };
    const Case cases[] = {
        {{}, A::Run, {}},
        {{s("mail.txt")}, A::Run, s("mail.txt")},
        {{s("--"), s("-x.txt")}, A::Run, s("-x.txt")},
        {{s("--"), s("--help")}, A::Run, s("--help")},
        {{s("--"), s("--")}, A::Run, s("--")},
        {{s("mail.txt"), s("--")}, A::Run, s("mail.txt")},
        {{s("--")}, A::Run, {}},
        {{s("-x.txt")}, A::Refused, {}},
        {{s("-")}, A::Refused, {}},
        {{s("a.txt"), s("b.txt")}, A::Refused, {}},
        {{s("a.txt"), s("--"), s("b.txt")}, A::Refused, {}},
        {{s("")}, A::Refused, {}},
        {{s("mail.txt"), s("--help")}, A::Help, {}},
        {{s("-x"), s("-v")}, A::Version, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        const ProgramArguments parsed = ProgramArguments::parse(c.arguments);
        EXPECT_EQ(parsed.action, c.action);
        EXPECT_EQ(parsed.file, c.file);
        EXPECT_EQ(parsed.problem.empty(), c.action != A::Refused);
    }
}

} // namespace
} // namespace mailvane::app
