#include "RowTable.h"

#include "HexText.h"
#include "PushBuilder.h"
#include "SettingsFileReader.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

using namespace mailvane;
using provisioning::SecurityMethod;
using rows::RowRules;

namespace {

// An IMAP4 mailbox without an incoming port, so that the open defaults show.
constexpr std::string_view TemplateText = "#E-Mail Settings File\r\n"
                                          "Mailbox: Work mail\r\n"
                                          "E-Mail Address: team@example.com\r\n"
                                          "Outgoing Server: smtp.example.com\r\n"
                                          "Incoming Server Type: IMAP4\r\n"
                                          "Incoming Server: imap.example.com\r\n"
                                          "Incoming Server Username: team\r\n"
                                          "Retrieve Method: Latest-Unread\r\n";

class RowTable : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(settings::readSettingsText(TemplateText, m_template).ok());
        ASSERT_TRUE(m_tables.load(MAILVANE_TOKEN_TABLE_PATH));
    }

    // The template's personal values are shared, as --shared would name them.
    rows::RowTable read(const std::string& csvText, RowRules rules)
    {
        const auto table = rows::csv::parse(csvText);
        EXPECT_TRUE(table.ok());
        rules.shared = {settings::FieldId::Mailbox, settings::FieldId::EmailAddress,
                        settings::FieldId::IncomingServerUsername};
        return rows::readRows(table, m_template, rules, m_tables);
    }

    settings::EmailSettings m_template;
    provisioning::TokenTables m_tables;
};

std::string dataFile(const char* name)
{
    std::ifstream file(std::string(MAILVANE_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(file) << name;
    return {std::istreambuf_iterator<char>(file), {}};
}

std::string macOf(const std::string& push)
{
    std::string mac;
    for (const std::uint8_t c : provisioning::hex::decode(push.substr(18, 80)))
        mac += static_cast<char>(std::tolower(c));
    return mac;
}

// Latin-1 text as UTF-16 with its byte-order mark: each byte is its code point.
std::string utf16(std::string_view latin1, bool littleEndian)
{
    std::string out = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (const char c : latin1) {
        out += littleEndian ? c : '\0';
        out += littleEndian ? '\0' : c;
    }
    return out;
}

} // namespace

TEST_F(RowTable, eachFormSpreadsheetsSaveGivesThePushTheSameName)
{
    using rows::TableEncoding;
    struct Form
    {
        const char* name;
        std::string bytes;
        TableEncoding encoding;
    };
    const Form forms[] = {
        {"UTF-8, comma, LF", "number,Mailbox,pin\n+491,B\xC3\xA9rg,1\n", TableEncoding::Utf8},
        {"UTF-8 with its mark, semicolon, CR LF",
         "\xEF\xBB\xBFnumber;Mailbox;pin\r\n+491;B\xC3\xA9rg;1\r\n", TableEncoding::Utf8},
        {"UTF-16LE, tab, CR LF", utf16("number\tMailbox\tpin\r\n+491\tB\xE9rg\t1\r\n", true),
         TableEncoding::Utf8},
        {"UTF-16BE, comma, LF", utf16("number,Mailbox,pin\n+491,B\xE9rg,1\n", false),
         TableEncoding::Windows1252},
        {"Windows-1252, semicolon, CR", "number;Mailbox;pin\r+491;B\xE9rg;1\r",
         TableEncoding::Windows1252},
        {"Latin-1, trailing empty columns", "number;Mailbox;pin;;\n+491;B\xE9rg;1;;\n",
         TableEncoding::Latin1},
        {"quoted separators and blanks", "number,Mailbox,pin\n+491,\" B\xC3\xA9rg, A;B \",1\n",
         TableEncoding::Utf8},
    };
    for (const Form& form : forms) {
        SCOPED_TRACE(form.name);
        const auto parsed = rows::csv::parse(form.bytes, form.encoding);
        ASSERT_TRUE(parsed.ok()) << rows::csv::describe(parsed.defect, parsed.text);
        const auto table = rows::readRows(
            parsed, m_template,
            {SecurityMethod::UserPin,
             std::nullopt,
             {settings::FieldId::EmailAddress, settings::FieldId::IncomingServerUsername}},
            m_tables);
        ASSERT_TRUE(table.allGood());
        ASSERT_EQ(table.rows.size(), 1u);
        // The WBXML declares UTF-8: e-acute as C3 A9.
        std::string push;
        for (const std::uint8_t byte : provisioning::hex::decode(table.rows[0].push))
            push += static_cast<char>(byte);
        EXPECT_NE(push.find("B\xC3\xA9rg"), std::string::npos);
    }
}

TEST_F(RowTable, eachRowIsTheTemplateWithItsCellsUnderTheRulesOfOpeningAFile)
{
    const auto table = read("Number;E-Mail Address;incoming server username;"
                            "Incoming Server Password;Incoming Server Type;PIN\r\n"
                            "+4917011; bea@example.com  ;bea;Pw-1;;1111\r\n"
                            ";;;;;\r\n"
                            "+49 170 12;;carl;P\xC3\xA4ss;Pop 3;\r\n",
                            {SecurityMethod::UserPin, "9999", {}});
    ASSERT_TRUE(table.allGood());
    EXPECT_EQ(table.rowCount, 2u);
    ASSERT_EQ(table.rows.size(), 2u);

    const rows::PersonRow& bea = table.rows[0];
    EXPECT_EQ(bea.line, 2u);
    EXPECT_EQ(bea.number, "+4917011");
    EXPECT_EQ(bea.record.emailAddress, "bea@example.com"); // without the blanks around it
    EXPECT_EQ(bea.record.incomingServerUsername, "bea");
    EXPECT_EQ(bea.record.incomingServerType, settings::values::Imap4);
    EXPECT_EQ(bea.record.incomingPort, "143");
    EXPECT_EQ(bea.record.retrieveMethod, settings::values::LatestUnread);
    EXPECT_EQ(bea.record.outgoingPort, "25");
    EXPECT_EQ(bea.security.key, "1111");

    const rows::PersonRow& carl = table.rows[1];
    EXPECT_EQ(carl.line, 4u);
    EXPECT_EQ(carl.number, "+4917012");
    EXPECT_EQ(carl.record.emailAddress, "team@example.com");  // an empty cell keeps the template's
    EXPECT_EQ(carl.record.incomingServerPassword, "P\xE4ss"); // Latin-1, as the record holds text
    // The server type the row chose decides the defaults the template left open.
    EXPECT_EQ(carl.record.incomingServerType, settings::values::Pop3);
    EXPECT_EQ(carl.record.incomingPort, "110");
    EXPECT_FALSE(carl.record.retrieveMethod.has_value());
    EXPECT_EQ(carl.security.key, "9999");

    // Each row its own push: its own document, and the MAC of its own PIN.
    for (const rows::PersonRow& row : table.rows) {
        EXPECT_EQ(row.push.substr(14, 2), "81");
        EXPECT_EQ(macOf(row.push),
                  provisioning::computeMac(row.security.key, row.push.substr(100)));
    }
    EXPECT_NE(bea.push.substr(100), carl.push.substr(100));
}

TEST_F(RowTable, networkMethodsKeyEachRowWithItsImsi)
{
    const std::string csv = "number,imsi,pin\n+4917011,262011234567890,1234\n";
    auto table = read(csv, {SecurityMethod::UserNetworkPin, std::nullopt, {}});
    ASSERT_TRUE(table.allGood());
    EXPECT_EQ(table.rows.at(0).push.substr(14, 2), "82");
    EXPECT_EQ(table.rows.at(0).security.key, *provisioning::imsiKey("262011234567890") + "1234");

    table = read("number,imsi\n+4917011,262011234567890\n", {SecurityMethod::NetworkPin, {}, {}});
    ASSERT_TRUE(table.allGood());
    EXPECT_EQ(table.rows.at(0).push.substr(14, 2), "80");
    EXPECT_EQ(table.rows.at(0).security.key, *provisioning::imsiKey("262011234567890"));
}

// 51 characters.
#define MAILBOX_51 "mmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmm"
static_assert(sizeof(MAILBOX_51) == 52);

TEST_F(RowTable, aRowOfEachKindOfDefectIsNamedByLineAndColumn)
{
    struct Expected
    {
        std::size_t line;
        const char* column;
        const char* why;
    };
    struct Case
    {
        SecurityMethod method;
        const char* defaultPin; // nullptr: none
        std::string csv;
        std::vector<Expected> defects;
    };
    const Case cases[] = {
        {SecurityMethod::UserPin,
         nullptr,
         "number,pin,Mailbox,Secure Login,In Data Bearer\n"
         "+4911,1234,ok,,\n"                // 2: good
         "+4912,1234,too,many,cells,here\n" // 3
         ",1234,,,\n"                       // 4
         "+4912ab,1234,,,\n"                // 5
         "+4911,1234,,,\n"                  // 6: the number of line 2
         "+4913,,,,\n"                      // 7
         "+4914,12345678901,,,\n"           // 8
         "+4915,1234," MAILBOX_51 ",,\n"    // 9: over the limit of 50
         "+4916,1234,\xE2\x82\xAC box,,\n"  // 10
         "+4917,4711.0,,,\n"                // 11
         "+4918,1234,,Maybe,\n"             // 12
         "+4919,1234,,,GSM Data\n"          // 13: no dial-up number
         "+49 1-1,1234,,,\n"                // 14: line 2's number as dialled
         ",,,,\n",                          // 15: blank, skipped
         {{3, "", "the row has 6 cells where the header names 5 columns"},
          {4, "number", "there is no number"},
          {5, "number", "\"+4912ab\" is not a phone number."},
          {6, "number", "+4911 is also the number on line 2"},
          {7, "pin", "there is no PIN"},
          {8, "pin", "a PIN is 1 to 10 digits (0-9) and nothing else"},
          {9, "Mailbox", "longer than the 50 characters"},
          {10, "Mailbox", "holds U+20AC, which a setting cannot hold"},
          {11, "pin", "looks like a spreadsheet number"},
          {12, "Secure Login", "not one of its words (No, Yes)"},
          {13, "", "missing: In GSM Dial-up Number (required by In Data Bearer)"},
          {14, "number", "+4911 is also the number on line 2"}}},
        {SecurityMethod::UserNetworkPin,
         "4321",
         "number,imsi\n"
         "+4921,262015550009876\n"
         "+4922,\n"
         "+4923,26201555000987654\n"
         "+4924,2620-555\n",
         {{3, "imsi", "there is no IMSI"},
          {4, "imsi", "not an IMSI (6 to 15 digits)"},
          {5, "imsi", "not an IMSI"}}},
        // A lone CR ends a line, as old Mac exports end them; a setting is
        // one line of its file, so a LF in a quoted cell is a defect.
        {SecurityMethod::UserPin,
         "1234",
         dataFile("row-cells-with-line-breaks.csv"),
         {{3, "", "the row has 2 cells where the header names 3 columns"},
          {4, "", "the row has 2 cells where the header names 3 columns"},
          {5, "Incoming Server Password", "holds a line break"}}},
        // Columns with no name, as a spreadsheet leaves them after the last,
        // may be left off or empty; passwords keep their blanks, so a blank
        // at either end is a defect rather than part of the password.
        {SecurityMethod::UserPin,
         nullptr,
         "number,pin,,Incoming Server Password,E-Mail Address,,\n"
         "+4931,1234,,pw,x@example.com\n"
         "+4932,1234,x,pw,,,\n"
         "+4933,1234,, pw,,,\n"
         "+4934,1.2E+3,,pw,,,\n",
         {{3, "", "column 3 has no name but this row has a value in it"},
          {4, "Incoming Server Password", "begins or ends with a blank"},
          {5, "pin", "looks like a spreadsheet number"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.csv);
        RowRules rules{c.method, std::nullopt, {}};
        if (c.defaultPin)
            rules.defaultPin = c.defaultPin;
        const auto table = read(c.csv, rules);
        ASSERT_TRUE(table.tableDefects.empty()) << table.tableDefects.front().why;
        ASSERT_EQ(table.rowDefects.size(), c.defects.size());
        EXPECT_EQ(table.rows.size(), 1u);
        EXPECT_EQ(table.rowCount, c.defects.size() + 1);
        for (std::size_t i = 0; i < c.defects.size(); ++i) {
            const rows::RowDefect& defect = table.rowDefects[i];
            EXPECT_EQ(defect.line, c.defects[i].line);
            EXPECT_EQ(defect.column, c.defects[i].column) << defect.why;
            EXPECT_NE(defect.why.find(c.defects[i].why), std::string::npos) << defect.why;
            // Never a PIN, a password or any other settings value.
            EXPECT_EQ(defect.why.find("1234"), std::string::npos) << defect.why;
            EXPECT_EQ(defect.why.find("mmmm"), std::string::npos) << defect.why;
        }
    }
}

TEST_F(RowTable, headerDefectsStopTheWholeTable)
{
    struct Case
    {
        SecurityMethod method;
        const char* pin; // nullptr: none
        std::string csv;
        const char* column;
        const char* why;
    };
    const Case cases[] = {
        {SecurityMethod::UserPin, "1", "number,User Name\n+491,ann\n", "User Name",
         "not a settings key, nor number, pin or imsi"},
        {SecurityMethod::UserPin, "1", "number,My Name\n+491,ann\n", "My Name",
         "not a settings key"},
        {SecurityMethod::UserPin, "1", "number,E-Mail Address,e-mail address\n+491,a,b\n",
         "e-mail address", "the same column as column 2"},
        // Most likely a person's row: none of its cells is repeated.
        {SecurityMethod::UserPin, "1", "+491,Pw-secret\n+492,Pw-other\n", "",
         "the first line is not a header: expected a `number` column"},
        {SecurityMethod::UserPin, nullptr, "number\n+491\n", "",
         "there is no pin column and no PIN for every row"},
        {SecurityMethod::UserPin, "1", "number,imsi\n+491,262011234567890\n", "imsi",
         "an IMSI needs netwpin or usernetwpin"},
        {SecurityMethod::NetworkPin, nullptr, "number,pin,imsi\n+491,1,262011234567890\n", "pin",
         "a PIN would not be asked for"},
        {SecurityMethod::NetworkPin, nullptr, "number\n+491\n", "", "there is no imsi column"},
        {SecurityMethod::UserPin, "1", "", "", "the table is empty"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.csv);
        RowRules rules{c.method, std::nullopt, {}};
        if (c.pin)
            rules.defaultPin = c.pin;
        const auto table = read(c.csv, rules);
        ASSERT_EQ(table.tableDefects.size(), 1u);
        EXPECT_EQ(table.tableDefects[0].line, 1u);
        EXPECT_EQ(table.tableDefects[0].column, c.column);
        EXPECT_NE(table.tableDefects[0].why.find(c.why), std::string::npos)
            << table.tableDefects[0].why;
        EXPECT_TRUE(table.rows.empty());
        EXPECT_FALSE(table.allGood());
    }
}

TEST_F(RowTable, templatePersonalValuesReachNoRowUnlessShared)
{
    const auto table = [this](const std::string& csv, std::vector<settings::FieldId> shared) {
        RowRules rules{SecurityMethod::UserPin, "1", std::move(shared)};
        return rows::readRows(rows::csv::parse(csv), m_template, rules, m_tables);
    };
    // The template holds Mailbox, E-Mail Address and Incoming Server Username.
    const auto refused = table("number,E-Mail Address\n+491,bea@example.com\n", {});
    ASSERT_EQ(refused.tableDefects.size(), 1u);
    EXPECT_NE(refused.tableDefects[0].why.find("every row its Mailbox, Incoming Server Username:"),
              std::string::npos)
        << refused.tableDefects[0].why;
    EXPECT_TRUE(refused.rows.empty());

    std::string unknown;
    const auto shared = rows::parseSharedKeys(" mailbox ,Incoming Server Username", unknown);
    ASSERT_TRUE(shared);
    EXPECT_FALSE(rows::parseSharedKeys("Mailbox,Outgoing Server", unknown));
    EXPECT_EQ(unknown, "Outgoing Server");

    // A cell of "-" clears the template's value for its row alone.
    const auto sent = table("number,E-Mail Address\n+491,-\n+492,\n", *shared);
    ASSERT_TRUE(sent.allGood());
    EXPECT_FALSE(sent.rows.at(0).record.emailAddress.has_value());
    EXPECT_EQ(sent.rows.at(1).record.emailAddress, "team@example.com");
    EXPECT_EQ(sent.rows.at(1).record.mailbox, "Work mail");
}

TEST_F(RowTable, aRowThatCannotBeEncodedIsBad)
{
    provisioning::TokenTables empty;
    const auto table = rows::readRows(rows::csv::parse("number\n+491\n"), m_template,
                                      {SecurityMethod::UserPin,
                                       "1",
                                       {settings::FieldId::Mailbox, settings::FieldId::EmailAddress,
                                        settings::FieldId::IncomingServerUsername}},
                                      empty);
    ASSERT_EQ(table.rowDefects.size(), 1u);
    EXPECT_NE(table.rowDefects[0].why.find("cannot be encoded"), std::string::npos);
    EXPECT_TRUE(table.rows.empty());
}
