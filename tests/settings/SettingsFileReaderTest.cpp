#include "SettingsFileReader.h"

#include "SettingsFields.h"
#include "TempDir.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

using namespace mailvane::settings;

namespace {

const std::filesystem::path DataDir = MAILVANE_TEST_DATA_DIR;

EmailSettings readText(std::string_view text, ReadResult* resultOut = nullptr)
{
    EmailSettings record;
    const ReadResult result = readSettingsText(text, record);
    if (resultOut)
        *resultOut = result;
    return record;
}

} // namespace

struct AcceptedLineCase
{
    const char* name;
    std::string text;
    std::function<void(const EmailSettings&)> check;
};

void PrintTo(const AcceptedLineCase& c, std::ostream* out)
{
    *out << c.name;
}

class SettingsFileReaderAccepts : public testing::TestWithParam<AcceptedLineCase>
{};

TEST_P(SettingsFileReaderAccepts, validText)
{
    ReadResult result;
    const EmailSettings record = readText(GetParam().text, &result);
    ASSERT_EQ(result.status, ReadStatus::Success) << "invalid line " << result.line;
    GetParam().check(record);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SettingsFileReaderAccepts,
    testing::Values(
        AcceptedLineCase{"lastLineWithoutLineEnd", "Mailbox: abc",
                         [](const EmailSettings& r) {
                             EXPECT_EQ(r.mailbox, "abc");
                         }},
        AcceptedLineCase{"leadingBlanksDroppedTrailingKept", "Mailbox:   My box  \r\n",
                         [](const EmailSettings& r) {
                             EXPECT_EQ(r.mailbox, "My box  ");
                         }},
        AcceptedLineCase{"carriageReturnsRemovedAnywhere", "Mail\rbox: a\rb\r\r\n",
                         [](const EmailSettings& r) {
                             EXPECT_EQ(r.mailbox, "ab");
                         }},
        AcceptedLineCase{"keyIgnoresCaseBlanksAndTabs", "  E - MAIL\tADDRESS: a@b.example\n",
                         [](const EmailSettings& r) {
                             EXPECT_EQ(r.emailAddress, "a@b.example");
                         }},
        AcceptedLineCase{"emptyValueIsPresentAndEmpty", "Mailbox:\n",
                         [](const EmailSettings& r) {
                             EXPECT_EQ(r.mailbox, "");
                         }},
        AcceptedLineCase{"valueKeepsCaseAndLaterColons", "Incoming Server: Host:143 X\n",
                         [](const EmailSettings& r) {
                             EXPECT_EQ(r.incomingServer, "Host:143 X");
                         }},
        AcceptedLineCase{"portIsNotCheckedForDigits", "Outgoing Port: 25a\n",
                         [](const EmailSettings& r) {
                             EXPECT_EQ(r.outgoingPort, "25a");
                         }},
        AcceptedLineCase{"lastLineOfAKeyWins", "Mailbox: first\nMailbox: second\n",
                         [](const EmailSettings& r) {
                             EXPECT_EQ(r.mailbox, "second");
                         }},
        AcceptedLineCase{"commentsAfterWhiteSpaceAndEmptyLines", "   # note\n\n\t#x\n\r\n",
                         [](const EmailSettings& r) {
                             EXPECT_EQ(r, EmailSettings{});
                         }},
        AcceptedLineCase{"choiceWordIgnoresBlanksAndCase", "Incoming Server Type :  Pop 3\n",
                         [](const EmailSettings& r) {
                             EXPECT_EQ(r.incomingServerType, values::Pop3);
                         }},
        AcceptedLineCase{"unknownChoiceWordLeavesFieldAsItWas",
                         "Incoming Server Type: IMAP4\nIncoming Server Type: POP\n",
                         [](const EmailSettings& r) {
                             EXPECT_EQ(r.incomingServerType, values::Imap4);
                         }},
        AcceptedLineCase{"shownRetrieveWordIsNotTheWrittenOne", "Retrieve Method: Latest unread\n",
                         [](const EmailSettings& r) {
                             EXPECT_FALSE(r.retrieveMethod);
                         }},
        AcceptedLineCase{"writtenRetrieveWordReadsBack", "Retrieve Method: Latest-Unread\n",
                         [](const EmailSettings& r) {
                             EXPECT_EQ(r.retrieveMethod, values::LatestUnread);
                         }},
        AcceptedLineCase{"everyFlagAndChoiceWord",
                         "SMTP Authorization: yes\nSecure Login: NO\nIn Proxies: Yes\n"
                         "Out Proxies: no\nIn Data Bearer: gsm data\nOut Data Bearer: GPRS\n"
                         "In Bearer Authentication Type: SECURE\n"
                         "Out Bearer Authentication Type: Normal\n"
                         "In GSM Data Call Type: I S D N\nOut GSM Data Call Type: analog\n",
                         [](const EmailSettings& r) {
                             EXPECT_EQ(r.smtpAuthorization, values::Yes);
                             EXPECT_EQ(r.secureLogin, values::No);
                             EXPECT_EQ(r.incoming.proxies, values::Yes);
                             EXPECT_EQ(r.outgoing.proxies, values::No);
                             EXPECT_EQ(r.incoming.dataBearer, values::GsmData);
                             EXPECT_EQ(r.outgoing.dataBearer, values::Gprs);
                             EXPECT_EQ(r.incoming.bearerAuthenticationType, values::Secure);
                             EXPECT_EQ(r.outgoing.bearerAuthenticationType, values::Normal);
                             EXPECT_EQ(r.incoming.gsmDataCallType, values::Isdn);
                             EXPECT_EQ(r.outgoing.gsmDataCallType, values::Analog);
                         }},
        AcceptedLineCase{"callSpeedWordsBecomeTheirWrittenForm",
                         "In GSM Data Call Speed: auto BAUDING\nOut GSM Data Call Speed: 14 400\n",
                         [](const EmailSettings& r) {
                             EXPECT_EQ(r.incoming.gsmDataCallSpeed, "Auto Bauding");
                             EXPECT_EQ(r.outgoing.gsmDataCallSpeed, "14400");
                         }},
        AcceptedLineCase{"unknownCallSpeedClearsTheField",
                         "In GSM Data Call Speed: 9600\nIn GSM Data Call Speed: 2400\n",
                         [](const EmailSettings& r) {
                             EXPECT_FALSE(r.incoming.gsmDataCallSpeed);
                         }},
        AcceptedLineCase{"latin1BytesPassThrough", "Mailbox: B\xF6rse \xC4\n",
                         [](const EmailSettings& r) {
                             EXPECT_EQ(r.mailbox, "B\xF6rse \xC4");
                         }}),
    [](const testing::TestParamInfo<AcceptedLineCase>& info) { return info.param.name; });

TEST(SettingsFileReader, everyKeyMatchesInUpperCaseAndWithoutBlanks)
{
    // Upper-cased here, letter by letter, not with the reader's own folding.
    const auto upper = [](std::string_view text) {
        std::string result;
        for (const char c : text)
            result.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
        return result;
    };
    int readable = 0;
    for (const FieldInfo& spec : allFields()) {
        if (!spec.readLimit)
            continue;
        ++readable;
        SCOPED_TRACE(spec.key);
        const std::string value = spec.kind == FieldKind::Text ? std::string("v")
                                  : spec.kind == FieldKind::CallSpeed
                                      ? std::string("9600")
                                      : std::string(spec.words->written[1]);
        ReadResult asWritten;
        const EmailSettings expected = readText(std::string(spec.key) + ": " + value, &asWritten);
        ASSERT_TRUE(asWritten.ok());
        ASSERT_NE(expected, EmailSettings{});
        std::string squeezed;
        for (const char c : upper(spec.key)) {
            if (c != ' ')
                squeezed.push_back(c);
        }
        for (const std::string& key : {upper(spec.key), squeezed}) {
            ReadResult result;
            EXPECT_EQ(readText(key + ": " + value, &result), expected) << key;
            EXPECT_TRUE(result.ok()) << key;
        }
    }
    EXPECT_EQ(readable, 42); // every field but To, My Name and Include Signature
    EXPECT_EQ(readText("SMTP AUTHORIZATION: Yes").smtpAuthorization, values::Yes);
}

TEST(SettingsFileReader, fileOfTheLargestSizeIsReadOneByteMoreIsNot)
{
    // A long comment line, then a field in the last bytes.
    const std::string field = "Mailbox: last\r\n";
    const std::string text =
        std::string(MaxSettingsFileBytes - field.size() - 1, '#') + "\n" + field;
    ASSERT_EQ(text.size(), MaxSettingsFileBytes);

    mailvane::test::TempDir dir;
    const auto path = dir / "large.txt";
    std::ofstream(path, std::ios::binary) << text;
    EmailSettings record;
    EXPECT_TRUE(readSettingsFile(path, record).ok());
    EXPECT_EQ(record.mailbox, "last");
    ReadResult result;
    EXPECT_EQ(readText(text, &result).mailbox, "last");
    EXPECT_TRUE(result.ok());

    std::ofstream(path, std::ios::binary | std::ios::app) << '#';
    EXPECT_EQ(readSettingsFile(path, record).status, ReadStatus::TooLarge);
    EXPECT_EQ(readText(text + "#", &result), EmailSettings{});
    EXPECT_EQ(result.status, ReadStatus::TooLarge);
}

TEST(SettingsFileReader, valueOfExactlyTheLimitIsAcceptedOneMoreIsNot)
{
    struct Case
    {
        const char* key;
        std::size_t limit;
    };
    for (const Case& c :
         {Case{"Outgoing Port", 5}, Case{"Mailbox", 50}, Case{"Retrieve E-Mails", 4},
          Case{"In Bearer Password", 20}, Case{"Out Bearer Username", 45},
          Case{"In Bearer Authentication Type", 100}, Case{"Secure Login", 1000}}) {
        ReadResult result;
        readText(std::string(c.key) + ": " + std::string(c.limit, '7') + "\n", &result);
        EXPECT_EQ(result.status, ReadStatus::Success) << c.key;
        readText("#\n" + std::string(c.key) + ": " + std::string(c.limit + 1, '7') + "\n", &result);
        EXPECT_EQ(result.status, ReadStatus::Invalid) << c.key;
        EXPECT_EQ(result.line, 2u) << c.key;
        EXPECT_EQ(result.defect, LineDefect::ValueTooLong) << c.key;
    }
}

TEST(SettingsFileReader, leadingBlanksDoNotCountTowardsTheLimit)
{
    ReadResult result;
    readText("Outgoing Port:          12345\n", &result);
    EXPECT_TRUE(result.ok());
}

TEST(SettingsFileReader, fieldsTheWriterKeepsMakeTheFileInvalid)
{
    for (const char* line : {"To: 123", "My Name: x", "Include Signature: Yes"}) {
        ReadResult result;
        readText(line, &result);
        EXPECT_EQ(result.status, ReadStatus::Invalid) << line;
        EXPECT_EQ(result.defect, LineDefect::UnknownKey) << line;
    }
}

TEST(SettingsFileReader, firstInvalidLineStopsAndEarlierFieldsStay)
{
    ReadResult result;
    const EmailSettings record =
        readText("Mailbox: kept\r\n\r\nNote\r\nOutgoing Server: never\r\n", &result);
    EXPECT_EQ(result.status, ReadStatus::Invalid);
    EXPECT_EQ(result.line, 3u);
    EXPECT_EQ(result.defect, LineDefect::MissingColon);
    EXPECT_EQ(record.mailbox, "kept");
    EXPECT_FALSE(record.outgoingServer);
}

TEST(SettingsFileReader, readsIntoTheRecordWithoutClearingIt)
{
    EmailSettings record;
    record.smtpUsername = "before";
    ASSERT_TRUE(readSettingsText("Mailbox: x\n", record).ok());
    EXPECT_EQ(record.smtpUsername, "before");
}

TEST(SettingsFileReader, emptyKeyIsUnknown)
{
    ReadResult result;
    readText(" : value", &result);
    EXPECT_EQ(result.defect, LineDefect::UnknownKey);
}

struct BrokenFixture
{
    const char* file;
    std::size_t line;
    LineDefect defect;
};

void PrintTo(const BrokenFixture& c, std::ostream* out)
{
    *out << c.file;
}

class SettingsFileReaderRejects : public testing::TestWithParam<BrokenFixture>
{};

TEST_P(SettingsFileReaderRejects, brokenFixture)
{
    EmailSettings record;
    const ReadResult result = readSettingsFile(DataDir / GetParam().file, record);
    EXPECT_EQ(result.status, ReadStatus::Invalid);
    EXPECT_EQ(result.line, GetParam().line);
    EXPECT_EQ(result.defect, GetParam().defect);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, SettingsFileReaderRejects,
    testing::Values(BrokenFixture{"over-limit-mailbox.txt", 3, LineDefect::ValueTooLong},
                    BrokenFixture{"my-name-key.txt", 3, LineDefect::UnknownKey},
                    BrokenFixture{"include-signature-key.txt", 2, LineDefect::UnknownKey},
                    BrokenFixture{"line-without-colon.txt", 4, LineDefect::MissingColon},
                    BrokenFixture{"nul-byte-in-value.txt", 2, LineDefect::NulByte}),
    [](const testing::TestParamInfo<BrokenFixture>& info) {
        std::string name = std::filesystem::path(info.param.file).stem().string();
        std::erase(name, '-');
        return name;
    });

TEST(SettingsFileReader, fileWithLineFeedsOnlyAndNoFinalLineEnd)
{
    EmailSettings record;
    const ReadResult result = readSettingsFile(DataDir / "lf-only-no-final-line-end.txt", record);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(record.mailbox, "Last");
    EXPECT_EQ(record.incomingServerType, values::Pop3);
    EXPECT_EQ(record.outgoingPort, "25a");
}

TEST(SettingsFileReader, missingFileAndFolderCannotBeOpened)
{
    mailvane::test::TempDir dir;
    EmailSettings record;
    ReadResult result = readSettingsFile(dir / "absent.txt", record);
    EXPECT_EQ(result.status, ReadStatus::CannotOpen);
    EXPECT_EQ(result.systemError, ENOENT);

    result = readSettingsFile(dir.path(), record);
    EXPECT_EQ(result.status, ReadStatus::CannotOpen);
    EXPECT_NE(result.systemError, 0);
    EXPECT_EQ(record, EmailSettings{});
}

TEST(SettingsFileReader, endlessNulBytesStopAtOnce)
{
    EmailSettings record;
    const ReadResult result = readSettingsFile("/dev/zero", record);
    EXPECT_EQ(result.status, ReadStatus::Invalid);
    EXPECT_EQ(result.line, 1u);
}
