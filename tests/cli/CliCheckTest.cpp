#include "CliRunner.h"
#include "TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using mailvane::test::runCli;
namespace fs = std::filesystem;

namespace {

const fs::path Examples = MAILVANE_EXAMPLES_DIR;
const fs::path TestData = MAILVANE_TEST_DATA_DIR;

std::string fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool isOneLine(const std::string& text)
{
    return !text.empty() && text.back() == '\n' && text.find('\n') == text.size() - 1;
}

} // namespace

TEST(CliCheck, examplesAreExactlyAsTheProgramWritesThem)
{
    mailvane::test::TempDir cwd;
    for (const char* name : {"imap4-gprs.txt", "pop3-gsm-proxies.txt", "outgoing-only.txt"}) {
        const auto run = runCli({"check", (Examples / name).string()}, cwd.path());
        EXPECT_EQ(run.exitCode, 0) << name << ": " << run.err;
        EXPECT_EQ(run.out, fileBytes(Examples / name)) << name;
        EXPECT_EQ(run.err, "") << name;
    }
}

TEST(CliCheck, printsTheFileAsWrittenWithoutOpenDefaults)
{
    mailvane::test::TempDir cwd;
    const auto run =
        runCli({"check", (TestData / "lf-only-no-final-line-end.txt").string()}, cwd.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "#E-Mail Settings File\r\n"
                       "Mailbox: Last\r\n"
                       "Outgoing Port: 25a\r\n"
                       "Incoming Server Type: POP3\r\n"
                       "\r\n#Proxy Settings\r\n"
                       "\r\n#Bearer Settings\r\n"
                       "\r\n#Proxy Settings\r\n"
                       "\r\n#Bearer Settings\r\n");
}

TEST(CliCheck, invalidFileGivesOneLineNamingFileAndLine)
{
    mailvane::test::TempDir cwd;
    struct Case
    {
        const char* file;
        const char* line;
    };
    for (const Case& c :
         {Case{"over-limit-mailbox.txt", "line 3"}, Case{"my-name-key.txt", "line 3"},
          Case{"line-without-colon.txt", "line 4"}, Case{"nul-byte-in-value.txt", "line 2"}}) {
        const std::string path = (TestData / c.file).string();
        for (const char* command : {"check", "summary"}) {
            const auto run = runCli({command, path}, cwd.path());
            EXPECT_EQ(run.exitCode, 1) << command << " " << c.file;
            EXPECT_EQ(run.out, "") << command << " " << c.file;
            EXPECT_TRUE(isOneLine(run.err)) << run.err;
            EXPECT_NE(run.err.find(path), std::string::npos) << run.err;
            EXPECT_NE(run.err.find(c.line), std::string::npos) << run.err;
        }
    }
}

TEST(CliCheck, missingFileHasItsOwnMessage)
{
    mailvane::test::TempDir cwd;
    const auto run = runCli({"check", "absent.txt"}, cwd.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "mailvane-cli: cannot read the settings file absent.txt: "
                       "No such file or directory\n");
}

TEST(CliSummary, pop3ExampleByteForByte)
{
    mailvane::test::TempDir cwd;
    const auto run = runCli({"summary", (Examples / "pop3-gsm-proxies.txt").string()}, cwd.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "\r\n"
                       "General: \r\n"
                       "Mailbox name: Home\r\n"
                       "E-mail address: bo.larsen@example.org\r\n"
                       "Outgoing (SMTP) server: mail.example.org\r\n"
                       "Incoming server type: POP3\r\n"
                       "Incoming server: pop.example.org\r\n"
                       "User name: bo.larsen\r\n"
                       "Password: ********\r\n"
                       "\r\n"
                       "Advanced: \r\n"
                       "Use SMTP authorisation: No\r\n"
                       "Outgoing (SMTP) port: 25\r\n"
                       "Incoming (POP3) port: 110\r\n"
                       "Retrieve e-mails: 50\r\n"
                       "Secure login: Yes\r\n"
                       "\r\n"
                       "POP3 Connection:\r\n"
                       "Proxies: Yes\r\n"
                       "Primary proxy: 10.11.12.13\r\n"
                       "Primary proxy port: 9201\r\n"
                       "Secondary proxy: proxy2.example.org\r\n"
                       "Secondary proxy port: 8080\r\n"
                       "Data bearer: GSM data\r\n"
                       "Dial-up number: +4560102030\r\n"
                       "Data call type: ISDN\r\n"
                       "Data call speed: 9600\r\n"
                       "Authentication type: Secure\r\n"
                       "User name: dialin\r\n"
                       "Password: ********\r\n"
                       "\r\n"
                       "SMTP Connection: \r\n"
                       "Proxies: Yes\r\n"
                       "Primary proxy: 10.11.12.13\r\n"
                       "Primary proxy port: 9201\r\n"
                       "Data bearer: GSM data\r\n"
                       "Dial-up number: +4560102030\r\n"
                       "Data call type: Analog\r\n"
                       "Data call speed: Auto Bauding\r\n"
                       "Authentication type: Normal\r\n");
}

TEST(CliSummary, appliesTheOpenDefaults)
{
    // The file has neither ports nor a server type; the window would show 25,
    // IMAP4 and 143, and drop the POP3-only secure login.
    mailvane::test::TempDir dir;
    std::ofstream(dir / "bare.txt", std::ios::binary) << "Mailbox: Bare\r\nSecure Login: Yes\r\n";
    const auto run = runCli({"summary", "bare.txt"}, dir.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "\r\n"
                       "General: \r\n"
                       "Mailbox name: Bare\r\n"
                       "Incoming server type: IMAP4\r\n"
                       "\r\n"
                       "Advanced: \r\n"
                       "Outgoing (SMTP) port: 25\r\n"
                       "Incoming (IMAP4) port: 143\r\n"
                       "\r\n"
                       "IMAP4 Connection:\r\n"
                       "\r\n"
                       "SMTP Connection: \r\n");
}

TEST(CliOutput, failingStdoutIsAnError)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    mailvane::test::TempDir cwd;
    const auto run =
        runCli({"check", (Examples / "imap4-gprs.txt").string()}, cwd.path(), "/dev/full");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot write the output"), std::string::npos) << run.err;
}
