#include "CommandLine.h"

#include <gtest/gtest.h>

namespace mailvane::app {
namespace {

TEST(CommandLine, oneFileAtMostAndAfterDoubleDashEverythingIsAFile)
{
    using A = CommandLine::Action;
    struct Case
    {
        QStringList arguments;
        A action;
        QString file;
    };
    const auto s = [](const char* text) {
        return QString::fromUtf8(text);
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
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const CommandLine line = CommandLine::parse(c.arguments);
        EXPECT_EQ(line.action, c.action);
        EXPECT_EQ(line.file, c.file);
        EXPECT_EQ(line.problem.isEmpty(), c.action != A::Refused);
    }
}

} // namespace
} // namespace mailvane::app
