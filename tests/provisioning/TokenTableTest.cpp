#include "TokenTable.h"

#include "TempDir.h"
#include "TokenTables.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>

using mailvane::provisioning::parseTokenTableLine;
using mailvane::provisioning::TokenTable;

namespace {

struct LineCase
{
    const char* line;
    bool isEntry;
    const char* name;
    const char* token;
    int codePage;
};

void PrintTo(const LineCase& c, std::ostream* os)
{
    *os << '"' << c.line << '"';
}

const LineCase LineCases[] = {
    {"parm 87 0", true, "parm", "87", 0},
    {"  \tparm   \t 87 \t 1", true, "parm", "87", 1},
    {"APPID 36 7", true, "APPID", "36", 7},
    {"APPID 36", true, "APPID", "36", 0},
    {"APPID 36 one", true, "APPID", "36", 0},
    {"APPID 36 1x", true, "APPID", "36", 1},
    {"APPID 36 1\r", true, "APPID", "36", 1},
    {"FROM 050346524F4D00 0", true, "FROM", "050346524F4D00", 0},
    {"name\twith\ttabs c6 0", true, "name\twith\ttabs", "c6", 0},
    {"token\tkeeps\ttabs c6\t0 1", true, "token\tkeeps\ttabs", "c6\t0", 1},
    {"# tokens", false, "", "", 0},
    {"   # indented comment", false, "", "", 0},
    {" \t \t", false, "", "", 0},
    {"", false, "", "", 0},
    {"\r", false, "", "", 0},
    {"lonely", false, "", "", 0},
    {"lonely ", false, "", "", 0},
};

class TokenTableLine : public testing::TestWithParam<LineCase>
{};

TEST_P(TokenTableLine, parsesAsTheFileRulesSay)
{
    const LineCase& c = GetParam();
    const auto entry = parseTokenTableLine(c.line);
    ASSERT_EQ(entry.has_value(), c.isEntry);
    if (!entry)
        return;
    EXPECT_EQ(entry->name, c.name);
    EXPECT_EQ(entry->token, c.token);
    EXPECT_EQ(entry->codePage, c.codePage);
}

INSTANTIATE_TEST_SUITE_P(Lines, TokenTableLine, testing::ValuesIn(LineCases));

} // namespace

TEST(TokenTable, hashIsXorOfSignedBytesModulo11)
{
    EXPECT_EQ(TokenTable::bucketOf("parm"), 3u);
    EXPECT_EQ(TokenTable::bucketOf("characteristic"), 7u);
    EXPECT_EQ(TokenTable::bucketOf("APPID"), 10u);
    EXPECT_EQ(TokenTable::bucketOf(""), 0u);
    // 0xE9 is -23 as a signed byte: 0xFFFFFFE9 modulo 11, not 233 modulo 11.
    EXPECT_EQ(TokenTable::bucketOf("\xe9"), 3u);
    EXPECT_EQ(TokenTable::bucketOf("a\xe9"), 5u);
}

TEST(TokenTable, earlierEntryOfANameWinsAndNamesAreCaseSensitive)
{
    TokenTable table;
    EXPECT_TRUE(table.empty());
    table.add("parm", "87");
    table.add("Parm", "99");
    table.add("parm", "88");
    ASSERT_NE(table.find("parm"), nullptr);
    EXPECT_EQ(*table.find("parm"), "87");
    EXPECT_EQ(*table.find("Parm"), "99");
    EXPECT_EQ(table.find("PARM"), nullptr);
    EXPECT_EQ(table.find("par"), nullptr);
    table.clear();
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(table.find("parm"), nullptr);
}

TEST(TokenTable, namesSharingABucketStayApart)
{
    TokenTable table;
    // "ab" and "ba" hash alike; so do all names of one multiset of characters.
    table.add("ab", "81");
    table.add("ba", "82");
    ASSERT_EQ(TokenTable::bucketOf("ab"), TokenTable::bucketOf("ba"));
    EXPECT_EQ(*table.find("ab"), "81");
    EXPECT_EQ(*table.find("ba"), "82");
}

TEST(TokenTable, namesAlikeInLengthEndsAndHashAreStillTold)
{
    TokenTable table;
    // Same length, first and last character, same characters: same bucket and fingerprint.
    table.add("aXYb", "81");
    table.add("aYXb", "82");
    EXPECT_EQ(*table.find("aXYb"), "81");
    EXPECT_EQ(*table.find("aYXb"), "82");
    EXPECT_EQ(table.find("aXXb"), nullptr);
    EXPECT_EQ(table.longestName(), 4u);
    EXPECT_EQ(table.find("aXYbc"), nullptr);
}

TEST(TokenTable, aNameIsNotFoundInALongerEntryThatStartsWithIt)
{
    TokenTable table;
    // 65536 characters longer than "AB", with the same ends and hash.
    const std::string longer = "AB" + std::string(65532, 'x') + "ABAB";
    ASSERT_EQ(TokenTable::bucketOf(longer), TokenTable::bucketOf("AB"));
    table.add(longer, "81");
    EXPECT_EQ(table.find("AB"), nullptr);
    ASSERT_NE(table.find(longer), nullptr);
    EXPECT_EQ(*table.find(longer), "81");
}

TEST(TokenTables, fileOfTheLargestSizeIsReadOneByteMoreIsNot)
{
    using mailvane::provisioning::MaxTokenTableBytes;
    using mailvane::provisioning::TokenTables;
    // A long comment, then an entry in the last bytes.
    const std::string entry = "last 85 0\n";
    const std::string text = std::string(MaxTokenTableBytes - entry.size() - 1, '#') + "\n" + entry;
    ASSERT_EQ(text.size(), MaxTokenTableBytes);

    mailvane::test::TempDir dir;
    const auto path = dir / "table.dat";
    std::ofstream(path, std::ios::binary) << text;
    TokenTables tables;
    EXPECT_TRUE(tables.load(path));
    ASSERT_TRUE(tables.find("last", 0));
    EXPECT_EQ(tables.find("last", 0)->text, "85");
    TokenTables fromText;
    fromText.loadText(text);
    EXPECT_TRUE(fromText.find("last", 0));

    std::ofstream(path, std::ios::binary | std::ios::app) << '#';
    EXPECT_FALSE(tables.load(path));
    EXPECT_TRUE(tables.empty());
    fromText.loadText(text + "#");
    EXPECT_TRUE(fromText.empty());
}
