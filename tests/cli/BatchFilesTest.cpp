#include "ProgressLine.h"
#include "RecipientFile.h"
#include "SendLog.h"
#include "TempDir.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace mailvane;
using namespace std::chrono_literals;

TEST(RecipientFile, takesOneOrMoreNumbersALineAndSkipsBlanksAndComments)
{
    struct Case
    {
        const char* text;
        std::vector<std::string> numbers;
    };
    const Case cases[] = {
        {"111\n222\n", {"111", "222"}},
        {"# list\n\n  \t\n 111 \r\n#222\n   # 333\n444", {"111", "444"}},
        {"+49 170 1;+49 170 2\n;;\n", {"+491701", "+491702"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        const auto result = cli::parseRecipientLines(c.text, "list.txt");
        EXPECT_TRUE(result.read) << c.text;
        EXPECT_EQ(result.numbers, c.numbers) << c.text;
    }
}

TEST(RecipientFile, aPieceThatIsNoNumberNamesItsLineAndKeepsNoNumbers)
{
    const auto result = cli::parseRecipientLines("# list\n111\n+45 33-44-55-66; Anna\n222\n",
                                                 "the number list list.txt");
    EXPECT_FALSE(result.read);
    EXPECT_TRUE(result.numbers.empty());
    EXPECT_EQ(result.error, "the number list list.txt, line 3: \"Anna\" is not a phone number.");
}

TEST(RecipientFile, unreadableOrBinaryFileIsAnErrorNamingIt)
{
    test::TempDir dir;
    std::ofstream(dir / "binary.txt", std::ios::binary) << std::string("111\n\0\n222\n", 10);
    for (const std::string& path :
         {(dir / "missing.txt").string(), dir.path().string(), (dir / "binary.txt").string()}) {
        const auto result = cli::readRecipientFile(path);
        EXPECT_FALSE(result.read) << path;
        EXPECT_NE(result.error.find(path), std::string::npos) << result.error;
    }
}

TEST(SendLog, resumeTakesEachNumbersLastCompleteLineAsDialled)
{
    const auto when = std::chrono::system_clock::time_point(1'800'000'000s);
    const std::string sent =
        cli::formatLogLine("+491", cli::LogOutcome::Sent, "0: Accepted for delivery", when);
    EXPECT_EQ(sent, "+491\tsent\t2027-01-15T08:00:00Z\t0: Accepted for delivery");
    EXPECT_EQ(cli::formatLogLine("+497", cli::LogOutcome::Skipped, "no PIN", when, 9),
              "+497\tskipped\t2027-01-15T08:00:00Z\tno PIN\tline 9");
    const auto line = [&](std::string_view number, cli::LogOutcome outcome) {
        return cli::formatLogLine(number, outcome, "answer", when) + "\n";
    };
    using cli::LogOutcome;
    const std::string text =
        sent + "\n" + cli::formatLogLine("+492", LogOutcome::Failed, "refused\twith\na tab", when) +
        "\n" + cli::formatLogLine("+49\t3", LogOutcome::Sent, "ok", when, 7) + "\n" +
        "+494\tsentence\t-\t-\n" + "garbage\n\tsent\t-\t-\n" +
        // As typed in an older log: it matches the number as dialled.
        line("+49 (170) 8-8", LogOutcome::Sent) +
        // Started and never ended: the run stopped in between.
        line("+4910", LogOutcome::Started) + line("+4911", LogOutcome::Started) +
        line("+4911", LogOutcome::Sent) + line("+4912", LogOutcome::Sent) +
        line("+4912", LogOutcome::Started) + line("+4913", LogOutcome::Started) +
        line("+4913", LogOutcome::Failed) + line("+4914", LogOutcome::Dry) +
        line("+496", LogOutcome::Skipped) + cli::formatLogLine("+495", LogOutcome::Sent, "cut", when);
    const cli::LoggedNumbers numbers = cli::numbersInLog(text);
    EXPECT_EQ(numbers.sent,
              (std::set<std::string, std::less<>>{"+491", "+493", "+4917088", "+4911"}));
    EXPECT_EQ(numbers.uncertain, (std::set<std::string, std::less<>>{"+4910", "+4912"}));
}

TEST(SendLog, appendsWholeLinesToALogOnlyItsOwnerReadsAndOneRunAtATime)
{
    test::TempDir dir;
    const std::string path = (dir / "run.log").string();
    EXPECT_TRUE(cli::readResumeLog(path).read);
    EXPECT_TRUE(cli::readResumeLog(path).numbers.sent.empty());
    for (const bool sent : {true, false}) {
        cli::SendLog log;
        std::string error;
        ASSERT_EQ(log.open(path, error), cli::SendLog::Opening::Opened) << error;
        EXPECT_TRUE(log.record(sent ? "+491" : "+492",
                               sent ? cli::LogOutcome::Sent : cli::LogOutcome::Failed, "answer"));
        cli::SendLog second;
        EXPECT_EQ(second.open(path, error), cli::SendLog::Opening::InUse);
        EXPECT_EQ(error, "the log " + path + " is in use by another run");
    }
    const auto resumed = cli::readResumeLog(path);
    ASSERT_TRUE(resumed.read);
    EXPECT_EQ(resumed.numbers.sent, (std::set<std::string, std::less<>>{"+491"}));
    EXPECT_EQ(std::filesystem::status(path).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    cli::SendLog unopenable;
    std::string error;
    EXPECT_EQ(unopenable.open((dir / "no-such-dir" / "run.log").string(), error),
              cli::SendLog::Opening::Failed);
    EXPECT_NE(error.find("no-such-dir"), std::string::npos) << error;
}

TEST(ProgressLine, showsCountsRateAndTimeLeft)
{
    const auto start = cli::ProgressLine::Clock::time_point();
    cli::ProgressLine progress(10, false, start);
    EXPECT_EQ(progress.text(start), "sent 0 / failed 0 / total 10");
    progress.finished(true, "1", "", start + 1s);
    progress.finished(true, "2", "", start + 1s);
    progress.finished(false, "3", "refused", start + 1s);
    progress.finished(true, "4", "", start + 2s);
    EXPECT_EQ(progress.text(start + 2s),
              "sent 3 / failed 1 / total 10, 2.0 numbers/s, about 3 s left");
}
