#include "SettingsFileWriter.h"

#include "SettingsFileReader.h"
#include "TempDir.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace mailvane::settings;
namespace fs = std::filesystem;

namespace {

std::string fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeBytes(const fs::path& path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

unsigned permissions(const fs::path& path)
{
    struct stat info = {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

std::size_t entryCount(const fs::path& folder)
{
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// A record holding every field the pages can set, both bearers in use.
EmailSettings fullRecord()
{
    EmailSettings r;
    r.mailbox = "Work";
    r.emailAddress = "ann@example.org";
    r.outgoingServer = "smtp.example.org";
    r.outgoingPort = "587";
    r.smtpUsername = "ann";
    r.smtpPassword = "s3cret";
    r.incomingServerType = values::Imap4;
    r.incomingServer = "imap.example.org";
    r.incomingPort = "143";
    r.incomingServerUsername = "ann.smith";
    r.incomingServerPassword = "pa ss";
    r.replyToAddress = "reply@example.org";
    r.retrieveEmails = "25";
    r.retrieveMethod = values::LatestUnread;
    r.smtpAuthorization = values::Yes;
    r.incoming.proxies = values::Yes;
    r.incoming.primaryProxy = "10.0.0.1";
    r.incoming.primaryProxyPort = "8080";
    r.incoming.secondaryProxy = "proxy2.example.org";
    r.incoming.secondaryProxyPort = "9201";
    r.incoming.dataBearer = values::GsmData;
    r.incoming.gsmDialUpNumber = "+358401234567";
    r.incoming.gsmDataCallType = values::Isdn;
    r.incoming.gsmDataCallSpeed = "9600";
    r.incoming.bearerUsername = "dial";
    r.incoming.bearerPassword = "up";
    r.incoming.bearerAuthenticationType = values::Secure;
    r.outgoing.proxies = values::No;
    r.outgoing.dataBearer = values::Gprs;
    r.outgoing.gprsAccessPoint = "internet.example";
    r.outgoing.bearerAuthenticationType = values::Normal;
    return r;
}

} // namespace

TEST(SettingsFileWriter, resetRecordIsTheTwelveFixedLines)
{
    EmailSettings record;
    record.resetToDefaults();
    EXPECT_EQ(settingsFileText(record), "#E-Mail Settings File\r\n"
                                        "Outgoing Port: 25\r\n"
                                        "Incoming Server Type: IMAP4\r\n"
                                        "Incoming Port: 143\r\n"
                                        "\r\n#Proxy Settings\r\n"
                                        "\r\n#Bearer Settings\r\n"
                                        "\r\n#Proxy Settings\r\n"
                                        "\r\n#Bearer Settings\r\n");
}

TEST(SettingsFileWriter, fullRecordInTheFileOrder)
{
    EmailSettings record = fullRecord();
    // Fields of the other bearer are not written, even when present.
    record.incoming.gprsAccessPoint = "unused";
    record.outgoing.gsmDialUpNumber = "unused";
    record.outgoing.gsmDataCallType = values::Analog;
    EXPECT_EQ(settingsFileText(record), "#E-Mail Settings File\r\n"
                                        "Mailbox: Work\r\n"
                                        "E-Mail Address: ann@example.org\r\n"
                                        "Outgoing Server: smtp.example.org\r\n"
                                        "Outgoing Port: 587\r\n"
                                        "SMTP Username: ann\r\n"
                                        "SMTP Password: s3cret\r\n"
                                        "Incoming Server Type: IMAP4\r\n"
                                        "Incoming Server: imap.example.org\r\n"
                                        "Incoming Port: 143\r\n"
                                        "Incoming Server Username: ann.smith\r\n"
                                        "Incoming Server Password: pa ss\r\n"
                                        "Reply-To Address: reply@example.org\r\n"
                                        "Retrieve E-Mails: 25\r\n"
                                        "Retrieve Method: Latest-Unread\r\n"
                                        "SMTP Authorization: Yes\r\n"
                                        "\r\n#Proxy Settings\r\n"
                                        "In Proxies: Yes\r\n"
                                        "In Primary Proxy: 10.0.0.1\r\n"
                                        "In Primary ProxyPort: 8080\r\n"
                                        "In Secondary Proxy: proxy2.example.org\r\n"
                                        "In Secondary ProxyPort: 9201\r\n"
                                        "\r\n#Bearer Settings\r\n"
                                        "In Data Bearer: GSM Data\r\n"
                                        "In GSM Dial-up Number: +358401234567\r\n"
                                        "In GSM Data Call Type: ISDN\r\n"
                                        "In GSM Data Call Speed: 9600\r\n"
                                        "In Bearer Username: dial\r\n"
                                        "In Bearer Password: up\r\n"
                                        "In Bearer Authentication Type: Secure\r\n"
                                        "\r\n#Proxy Settings\r\n"
                                        "Out Proxies: No\r\n"
                                        "\r\n#Bearer Settings\r\n"
                                        "Out Data Bearer: GPRS\r\n"
                                        "Out GPRS Access Point: internet.example\r\n"
                                        "Out Bearer Authentication Type: Normal\r\n");
}

TEST(SettingsFileWriter, fieldsNoPageSetsAreWrittenWhenPresent)
{
    EmailSettings record;
    record.to = "+3581";
    record.myName = "Ann";
    record.includeSignature = values::No;
    record.secureLogin = values::Yes;
    record.incomingServerType = values::Pop3;
    record.retrieveMethod = values::Latest;
    const std::string text = settingsFileText(record);
    EXPECT_EQ(text.substr(0, text.find("\r\n\r\n")), "#E-Mail Settings File\r\n"
                                                     "To: +3581\r\n"
                                                     "My Name: Ann\r\n"
                                                     "Incoming Server Type: POP3\r\n"
                                                     "Retrieve Method: Latest\r\n"
                                                     "Include Signature: No\r\n"
                                                     "Secure Login: Yes");
}

TEST(SettingsFileWriter, emptyTextsAndBearerFieldsWithoutBearerAreLeftOut)
{
    EmailSettings record;
    record.mailbox = "";
    record.incoming.bearerUsername = "orphan";
    record.incoming.bearerAuthenticationType = values::Secure;
    EXPECT_EQ(settingsFileText(record), "#E-Mail Settings File\r\n"
                                        "\r\n#Proxy Settings\r\n"
                                        "\r\n#Bearer Settings\r\n"
                                        "\r\n#Proxy Settings\r\n"
                                        "\r\n#Bearer Settings\r\n");
}

TEST(SettingsFileWriter, writtenRecordReadsBackExceptEmptyTextsAndLeadingBlanks)
{
    mailvane::test::TempDir dir;
    EmailSettings record = fullRecord();
    record.replyToAddress = "";
    record.mailbox = "  Work";
    ASSERT_TRUE(writeSettingsFile(dir / "s.txt", record).ok());

    EmailSettings readBack;
    ASSERT_TRUE(readSettingsFile(dir / "s.txt", readBack).ok());
    EmailSettings expected = record;
    expected.replyToAddress.reset();
    expected.mailbox = "Work";
    EXPECT_EQ(readBack, expected);
}

TEST(SettingsFileWriter, newFileIsPrivateAndExistingFileKeepsItsPermissions)
{
    mailvane::test::TempDir dir;
    EmailSettings record = fullRecord();
    ASSERT_TRUE(writeSettingsFile(dir / "new.txt", record).ok());
    EXPECT_EQ(permissions(dir / "new.txt"), 0600u);

    writeBytes(dir / "shared.txt", "old");
    fs::permissions(dir / "shared.txt", fs::perms(0640));
    ASSERT_TRUE(writeSettingsFile(dir / "shared.txt", record).ok());
    EXPECT_EQ(permissions(dir / "shared.txt"), 0640u);
    EXPECT_EQ(fileBytes(dir / "shared.txt"), settingsFileText(record));
    EXPECT_EQ(entryCount(dir.path()), 2u) << "no temporary file is left";
}

TEST(SettingsFileWriter, rootSavingSomeoneElsesFileKeepsItsOwner)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can hand a file to another user";
    mailvane::test::TempDir dir;
    writeBytes(dir / "theirs.txt", "old");
    ASSERT_EQ(::chown((dir / "theirs.txt").c_str(), 65534, 65534), 0);
    ASSERT_TRUE(writeSettingsFile(dir / "theirs.txt", fullRecord()).ok());
    struct stat info = {};
    ASSERT_EQ(::stat((dir / "theirs.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
}

TEST(SettingsFileWriter, symbolicLinkStaysALinkToTheNewContents)
{
    mailvane::test::TempDir dir;
    writeBytes(dir / "real.txt", "old");
    fs::create_symlink("real.txt", dir / "link.txt");
    EmailSettings record;
    record.mailbox = "via link";
    ASSERT_TRUE(writeSettingsFile(dir / "link.txt", record).ok());
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(fileBytes(dir / "real.txt"), settingsFileText(record));
}

TEST(SettingsFileWriter, missingFolderOrFolderAsTargetCannotBeOpened)
{
    mailvane::test::TempDir dir;
    EmailSettings record;
    EXPECT_EQ(writeSettingsFile(dir / "no" / "such.txt", record).status, WriteStatus::CannotOpen);
    fs::create_directory(dir / "folder");
    EXPECT_EQ(writeSettingsFile(dir / "folder", record).status, WriteStatus::CannotOpen);
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_EQ(entryCount(dir.path()), 1u);
}

TEST(SettingsFileWriter, readOnlyFileIsNotReplaced)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    mailvane::test::TempDir dir;
    writeBytes(dir / "locked.txt", "old");
    fs::permissions(dir / "locked.txt", fs::perms(0400));
    EXPECT_EQ(writeSettingsFile(dir / "locked.txt", EmailSettings{}).status,
              WriteStatus::CannotOpen);
    EXPECT_EQ(fileBytes(dir / "locked.txt"), "old");
}

TEST(SettingsFileWriter, valueWithALineBreakIsRefusedAndOldFileStays)
{
    mailvane::test::TempDir dir;
    writeBytes(dir / "s.txt", "old");
    for (const std::string& injected :
         {std::string("x\r\nMailbox: evil"), std::string("x\ny"), std::string("a\0b", 3)}) {
        EmailSettings record;
        record.incomingServerPassword = injected;
        EXPECT_FALSE(hasOnlyWritableValues(record));
    }
    EmailSettings record;
    record.outgoing.bearerPassword = "pass\nIn Proxies: Yes";
    EXPECT_EQ(writeSettingsFile(dir / "s.txt", record).status, WriteStatus::UnwritableValue);
    record.outgoing.bearerPassword = std::string("a\0b", 3);
    EXPECT_EQ(writeSettingsFile(dir / "s.txt", record).status, WriteStatus::UnwritableValue);
    EXPECT_EQ(fileBytes(dir / "s.txt"), "old");
}

TEST(SettingsFileWriter, fullDiskFailsAndLeavesTheOldFileAlone)
{
    mailvane::test::TempDir dir;
    const std::string old = "#E-Mail Settings File\r\nMailbox: old\r\n";
    writeBytes(dir / "s.txt", old);
    EmailSettings record = fullRecord();
    ASSERT_GT(settingsFileText(record).size(), 200u);

    // A file-size limit makes write() fail with EFBIG part-way, as a full disk would.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const WriteResult result = writeSettingsFile(dir / "s.txt", record);
        ::_exit(result.status == WriteStatus::WriteFailed && result.systemError == EFBIG ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write was not reported as failed with EFBIG";
    EXPECT_EQ(fileBytes(dir / "s.txt"), old);
    EXPECT_EQ(entryCount(dir.path()), 1u) << "no temporary file is left";
}
