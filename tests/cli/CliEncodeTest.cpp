#include "CliRunner.h"
#include "DocumentBuilder.h"
#include "OpenSettings.h"
#include "TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using mailvane::test::runCli;
namespace fs = std::filesystem;

namespace {

const fs::path Examples = MAILVANE_EXAMPLES_DIR;
const char* const ExampleNames[] = {"imap4-gprs.txt", "pop3-gsm-proxies.txt", "outgoing-only.txt"};

struct Message
{
    std::string header;
    std::string data;
};

std::vector<Message> parseMessages(const std::string& out)
{
    std::vector<Message> messages;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t blank = line.find(' ');
        EXPECT_NE(blank, std::string::npos) << line;
        messages.push_back({line.substr(0, blank), line.substr(blank + 1)});
    }
    return messages;
}

bool isLowerHex(const std::string& text)
{
    return !text.empty() && text.size() % 2 == 0 &&
           text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

std::string hexByte(unsigned value)
{
    static const char Digits[] = "0123456789abcdef";
    return {Digits[value >> 4], Digits[value & 15]};
}

// Checks the messages of consecutive pushes against `push` and returns the
// references they carried.
std::vector<unsigned> checkPushes(const std::vector<Message>& messages, const std::string& push)
{
    std::vector<unsigned> references;
    std::size_t i = 0;
    while (i < messages.size()) {
        if (messages[i].header == "0605040b840b84") {
            EXPECT_EQ(messages[i].data, push);
            references.push_back(0);
            ++i;
            continue;
        }
        const std::string& first = messages[i].header;
        EXPECT_EQ(first.size(), 24u) << first;
        EXPECT_EQ(first.substr(0, 18), "0b05040b840b840003");
        const unsigned count = std::stoul(first.substr(20, 2), nullptr, 16);
        references.push_back(std::stoul(first.substr(18, 2), nullptr, 16));
        std::string joined;
        for (unsigned k = 1; k <= count && i < messages.size(); ++k, ++i) {
            EXPECT_EQ(messages[i].header, first.substr(0, 22) + hexByte(k));
            EXPECT_TRUE(isLowerHex(messages[i].data));
            EXPECT_LE(messages[i].data.size(), 256u);
            joined += messages[i].data;
        }
        EXPECT_EQ(joined, push);
    }
    return references;
}

} // namespace

TEST(CliEncode, documentIsTheBuilderOutputForTheOpenedRecord)
{
    mailvane::test::TempDir cwd;
    for (const char* name : ExampleNames) {
        mailvane::settings::EmailSettings record;
        ASSERT_TRUE(mailvane::settings::openSettingsFile(Examples / name, record).ok());
        const auto expected = mailvane::provisioning::buildDocument(record);
        ASSERT_TRUE(expected);

        const auto run =
            runCli({"encode", (Examples / name).string(), "--pin", "1234", "--format", "document"},
                   cwd.path());
        EXPECT_EQ(run.exitCode, 0) << name << ": " << run.err;
        EXPECT_EQ(run.out, *expected) << name;
        EXPECT_EQ(run.out.find('\r'), std::string::npos) << name;
    }
}

TEST(CliEncode, wbxmlAndPushAreOneLowerCaseHexLine)
{
    mailvane::test::TempDir cwd;
    for (const char* name : ExampleNames) {
        for (const char* format : {"wbxml", "push"}) {
            const auto run =
                runCli({"encode", (Examples / name).string(), "--pin", "1234", "--format", format},
                       cwd.path());
            ASSERT_EQ(run.exitCode, 0) << name << " " << format << ": " << run.err;
            ASSERT_FALSE(run.out.empty());
            EXPECT_EQ(run.out.back(), '\n');
            EXPECT_TRUE(isLowerHex(run.out.substr(0, run.out.size() - 1))) << run.out;
        }
    }
}

TEST(CliEncode, pushDependsOnThePin)
{
    mailvane::test::TempDir cwd;
    const std::string file = (Examples / "imap4-gprs.txt").string();
    const auto first = runCli({"encode", file, "--pin", "1234", "--format", "push"}, cwd.path());
    const auto second = runCli({"encode", file, "--pin", "1235", "--format", "push"}, cwd.path());
    ASSERT_EQ(first.exitCode, 0) << first.err;
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_NE(first.out, second.out);
}

TEST(CliEncode, messagesCarryThePushOncePerRecipientWithRisingReferences)
{
    mailvane::test::TempDir cwd;
    for (const char* name : ExampleNames) {
        const std::string file = (Examples / name).string();
        const auto push = runCli({"encode", file, "--pin", "987", "--format", "push"}, cwd.path());
        ASSERT_EQ(push.exitCode, 0) << push.err;
        const std::string pushHex = push.out.substr(0, push.out.size() - 1);

        const auto one =
            runCli({"encode", file, "--pin", "987", "--format", "messages"}, cwd.path());
        ASSERT_EQ(one.exitCode, 0) << one.err;
        const auto oneReferences = checkPushes(parseMessages(one.out), pushHex);
        ASSERT_EQ(oneReferences.size(), 1u) << name;

        const auto three = runCli({"encode", file, "--pin", "987", "--format", "messages", "--to",
                                   "+4512 34;; 5678 ;\t+1 555"},
                                  cwd.path());
        ASSERT_EQ(three.exitCode, 0) << three.err;
        const auto references = checkPushes(parseMessages(three.out), pushHex);
        if (oneReferences[0] == 0) // a single message does not carry its reference
            EXPECT_EQ(references, (std::vector<unsigned>{0, 0, 0})) << name;
        else
            EXPECT_EQ(references, (std::vector<unsigned>{1, 2, 3})) << name;
    }
}

TEST(CliEncode, tableOptionAndSearchOrder)
{
    mailvane::test::TempDir cwd;
    const std::string file = (Examples / "imap4-gprs.txt").string();
    const auto missing =
        runCli({"encode", file, "--pin", "1", "--format", "push", "--table", "no-such-table.dat"},
               cwd.path());
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("no-such-table.dat"), std::string::npos) << missing.err;

    const auto given = runCli(
        {"encode", file, "--pin", "1", "--format", "push", "--table", MAILVANE_TOKEN_TABLE_PATH},
        cwd.path());
    EXPECT_EQ(given.exitCode, 0) << given.err;

    // The current folder comes first: an empty table there beats the one
    // beside the program, and nothing broken goes out.
    std::ofstream(cwd / "table.dat") << "";
    const auto empty = runCli({"encode", file, "--pin", "1", "--format", "push"}, cwd.path());
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_EQ(empty.out, "");
    EXPECT_FALSE(empty.err.empty());
}
