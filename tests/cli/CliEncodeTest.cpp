#include "CliRunner.h"
#include "DocumentBuilder.h"
#include "HexText.h"
#include "NeededTool.h"
#include "OpenSettings.h"
#include "PushBuilder.h"
#include "TempDir.h"

#include <cctype>
#include <cstdlib>
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

bool isHex(const std::string& text, std::string_view digits)
{
    return !text.empty() && text.size() % 2 == 0 &&
           text.find_first_not_of(digits) == std::string::npos;
}

bool isLowerHex(const std::string& text)
{
    return isHex(text, "0123456789abcdef");
}

std::string lowerCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string hexByte(unsigned value)
{
    static const char Digits[] = "0123456789abcdef";
    return {Digits[value >> 4], Digits[value & 15]};
}

// Checks the messages of consecutive pushes against `pushText` and returns
// the references they carried.
std::vector<unsigned> checkPushes(const std::vector<Message>& messages, const std::string& pushText)
{
    // The push text keeps the encoder's case; message bytes are written in lower case.
    const std::string push = lowerCase(pushText);
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

TEST(CliEncode, wbxmlAndPushAreOneHexLine)
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
            const std::string hex = run.out.substr(0, run.out.size() - 1);
            EXPECT_TRUE(isHex(hex, "0123456789abcdefABCDEF")) << run.out;
            if (std::string_view(format) == "push") {
                EXPECT_TRUE(hex.starts_with("01062F1F2DB6918192")) << run.out;
            }
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

TEST(CliEncode, securityOptionsSetTheSecValueAndKeyTheMac)
{
    mailvane::test::TempDir cwd;
    const std::string file = (Examples / "imap4-gprs.txt").string();
    struct Case
    {
        std::vector<std::string> options;
        const char* sec;
        const char* keyHex; // the key's bytes, written out by hand
    };
    const Case cases[] = {
        {{"--pin", "1234"}, "81", "31323334"},
        {{"--security", "userpin", "--pin", "1234"}, "81", "31323334"},
        {{"--security", "netwpin", "--imsi", "262011234567890"}, "80", "2926102143658709"},
        {{"--security", "usernetwpin", "--imsi", "21407650123456", "--pin", "1234"},
         "82",
         "21417056103254f631323334"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"encode", file, "--format", "push"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const auto run = runCli(args, cwd.path());
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const std::string push = run.out.substr(0, run.out.size() - 1);
        EXPECT_EQ(push.substr(0, 18), std::string("01062F1F2DB691") + c.sec + "92") << c.sec;
        const auto key = mailvane::provisioning::hex::decode(c.keyHex);
        std::string mac;
        for (const std::uint8_t digit : mailvane::provisioning::hex::decode(push.substr(18, 80)))
            mac += static_cast<char>(std::tolower(digit));
        EXPECT_EQ(mac, mailvane::provisioning::computeMac(std::string(key.begin(), key.end()),
                                                          push.substr(100)))
            << c.sec;
    }
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
    EXPECT_EQ(empty.err, "mailvane-cli: the token table table.dat holds no tokens\n");
}

TEST(CliEncode, libwbxmlDecodesTheExamplesWithEveryValue)
{
    MAILVANE_NEED_TOOL(std::system("command -v wbxml2xml > /dev/null 2>&1") == 0,
                       "wbxml2xml (libwbxml2-utils) is not installed");
    struct Case
    {
        const char* file;
        std::vector<std::string> values;
    };
    const Case cases[] = {
        {"imap4-gprs.txt",
         {"Work mail", "ann.smith@example.com", "smtp.example.com", "imap.example.com", "Imap-2006",
          "Smtp-2006", "internet.example.net"}},
        {"pop3-gsm-proxies.txt",
         {"pop.example.org", "hemlig99", "proxy2.example.org", "+4560102030", "csd-pass"}},
        {"outgoing-only.txt", {"smtp.example.net", "send-only", "wap.example.net"}},
    };
    mailvane::test::TempDir cwd;
    for (const Case& c : cases) {
        const auto run =
            runCli({"encode", (Examples / c.file).string(), "--pin", "1234", "--format", "wbxml"},
                   cwd.path());
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const auto bytes =
            mailvane::provisioning::hex::decode(run.out.substr(0, run.out.size() - 1));
        std::ofstream(cwd / "in.wbxml", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        const std::string command = "wbxml2xml -l PROV10 -o '" + (cwd / "out.xml").string() +
                                    "' '" + (cwd / "in.wbxml").string() + "' > /dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << c.file;
        std::ifstream in(cwd / "out.xml");
        std::ostringstream xml;
        xml << in.rdbuf();
        for (const std::string& value : c.values)
            EXPECT_NE(xml.str().find("value=\"" + value + "\""), std::string::npos)
                << c.file << ": " << value;
    }
}
