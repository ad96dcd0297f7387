#include "WbxmlEncoder.h"

#include "DocumentBuilder.h"
#include "TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>

using mailvane::provisioning::MaxWbxmlDigits;
using mailvane::provisioning::TokenTables;
namespace wbxml = mailvane::provisioning::wbxml;

namespace {

constexpr const char* Header = "030b6a00c54601";

// A small table: an application with its APPID, plus what the cases below need.
constexpr const char* ExampleTable = "characteristic c6 0\n"
                                     "parm 87 0\n"
                                     "/characteristic 01 0\n"
                                     "APPLICATION 79 0\n"
                                     "APPID 56 0\n"
                                     "value 06 0\n"
                                     "GSM-GPRS ab 0\n";

TokenTables tablesWith(const char* table)
{
    TokenTables tables;
    tables.loadText(table);
    return tables;
}

TokenTables realTables()
{
    TokenTables tables;
    EXPECT_TRUE(tables.load(MAILVANE_TOKEN_TABLE_PATH));
    return tables;
}

// The body of the encoding of `document`: without the fixed header and the
// root element's END.
std::string bodyOf(const TokenTables& tables, const std::string& document)
{
    const auto wbxml = wbxml::encode(document, tables);
    if (!wbxml) {
        ADD_FAILURE() << "encoding failed for:\n" << document;
        return {};
    }
    EXPECT_EQ(wbxml->substr(0, 14), Header);
    EXPECT_EQ(wbxml->substr(wbxml->size() - 2), "01");
    return wbxml->substr(14, wbxml->size() - 16);
}

std::string parmLine(const std::string& name, const std::string& value)
{
    return "  <parm name=\"" + name + "\" value=\"" + value + "\"/>\n";
}

} // namespace

TEST(WbxmlEncoder, encodesAnApplicationWithASmallTable)
{
    const TokenTables tables = tablesWith(ExampleTable);
    EXPECT_EQ(bodyOf(tables, "<characteristic type=\"APPLICATION\">\n" + parmLine("APPID", "25") +
                                 "</characteristic>\n"),
              "c67901"
              "8756060332350001"
              "01");
}

TEST(WbxmlEncoder, pageSwitchPrecedesATokenFromTheOtherPageOnly)
{
    const TokenTables tables = tablesWith("A 81 0\nB 82 1\nC 83 7\nA 91 1\n");
    std::string out;
    std::uint8_t page = 0;
    EXPECT_TRUE(tables.lookUp("A", page, out));
    EXPECT_TRUE(tables.lookUp("B", page, out));
    EXPECT_EQ(page, 1);
    EXPECT_TRUE(tables.lookUp("C", page, out));
    EXPECT_TRUE(tables.lookUp("A", page, out)); // page 1 is current and holds A too
    page = 0;
    EXPECT_TRUE(tables.lookUp("A", page, out));
    EXPECT_FALSE(tables.lookUp("D", page, out));
    EXPECT_EQ(out, "81"
                   "000182"
                   "83"
                   "91"
                   "81");
}

TEST(WbxmlEncoder, inlineStringsWriteHighBytesAsUtf8)
{
    const TokenTables tables = tablesWith(ExampleTable);
    EXPECT_EQ(bodyOf(tables, parmLine("APPID", "0")), "875606033000"
                                                      "01");
    EXPECT_EQ(bodyOf(tables, parmLine("APPID", "caf\xe9\x80\xff")), "875606"
                                                                    "03636166c3a9c280c3bf00"
                                                                    "01");
}

TEST(WbxmlEncoder, parmWithoutSecondAttributeEndsAfterItsFirstValue)
{
    const TokenTables tables = tablesWith(ExampleTable);
    EXPECT_EQ(bodyOf(tables, "  <parm name=\"APPID\"/>\n"), "875601");
    EXPECT_EQ(bodyOf(tables, "  <parm name=\"APPID\" />\n"), "875601");
}

TEST(WbxmlEncoder, linesThatAreNotElementsContributeNothing)
{
    const TokenTables tables = tablesWith(ExampleTable);
    EXPECT_EQ(bodyOf(tables, "hello\n\n   \n  text <parm\n" + parmLine("APPID", "")), "87560603"
                                                                                      "00"
                                                                                      "01");
}

TEST(WbxmlEncoder, entitiesAreDecodedBeforeLookupAndInlineString)
{
    const TokenTables tables = tablesWith(ExampleTable);
    EXPECT_EQ(bodyOf(tables, parmLine("APPID", "a&quot;b&amp;c&lt;d&gt;&amp;quot;&x;")),
              "875606"
              "0361"
              "22"
              "62"
              "26"
              "63"
              "3c"
              "64"
              "3e"
              "2671756f743b"
              "26783b"
              "00"
              "01");
}

TEST(WbxmlEncoder, onlyAttributeValueTokensStandInForValues)
{
    const TokenTables tables = tablesWith("characteristic c6 0\nparm 87 0\n/characteristic 01 0\n"
                                          "value 06 0\nNAME 07 0\nAPPID 36 1\nGSM-GPRS ab 0\n"
                                          "LONG 8181 0\nE164 87 1\n");
    const auto encodeValue = [&](const std::string& value) {
        return bodyOf(tables, parmLine("NAME", value));
    };
    EXPECT_EQ(encodeValue("GSM-GPRS"), "870706ab01");
    EXPECT_EQ(encodeValue("parm"), "870706"
                                   "037061726d00"
                                   "01");
    EXPECT_EQ(encodeValue("characteristic"), "870706"
                                             "03"
                                             "636861726163746572697374696300"
                                             "01");
    EXPECT_EQ(encodeValue("NAME"), "870706"
                                   "034e414d4500"
                                   "01");
    EXPECT_EQ(encodeValue("LONG"), "870706"
                                   "034c4f4e4700"
                                   "01");
    // Rejected entries of the other page leave the page alone: the next line
    // needs no switch back.
    EXPECT_EQ(bodyOf(tables, parmLine("NAME", "APPID") + parmLine("NAME", "GSM-GPRS")),
              "870706"
              "03415050494400"
              "01"
              "870706ab01");
    // An accepted one from the other page switches to it.
    EXPECT_EQ(encodeValue("E164"), "870706"
                                   "000187"
                                   "01");
}

struct FailureCase
{
    const char* name;
    std::string document;
};

void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class WbxmlEncoderFailure : public testing::TestWithParam<FailureCase>
{};

TEST_P(WbxmlEncoderFailure, givesNothing)
{
    EXPECT_FALSE(wbxml::encode(GetParam().document, realTables()).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, WbxmlEncoderFailure,
    testing::Values(FailureCase{"unknownTag", "<characteristics type=\"NAPDEF\">\n"},
                    FailureCase{"unknownEndTag", "</parm>\n"},
                    FailureCase{"unknownType", "<characteristic type=\"MAILBOX\">\n"},
                    FailureCase{"unknownParmName", "<parm name=\"COLOUR\" value=\"red\"/>\n"},
                    FailureCase{"noQuoteAfterEquals", "<characteristic type=PORT>\n"},
                    FailureCase{"lineEndsBeforeEquals", "<characteristic type\n"},
                    FailureCase{"lineEndsBeforeClosingQuote", "<parm name=\"NAME\" value=\"ab\n"},
                    FailureCase{"secondValueWithoutQuote", "<parm name=\"NAME\" value=ab/>\n"},
                    FailureCase{"unknownSecondAttribute", "<parm name=\"NAME\" colour=\"ab\"/>\n"},
                    FailureCase{"nulInValue",
                                std::string("<parm name=\"NAME\" value=\"a\0b\"/>\n", 32)},
                    FailureCase{"lineTooLong",
                                "<parm name=\"NAME\" value=\"" + std::string(1000, 'x') + "\"/>\n"},
                    FailureCase{"valueTooLong",
                                "<parm name=\"NAME\" value=\"" + std::string(512, 'x') + "\"/>\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WbxmlEncoder, valueLimitCountsDecodedCharacters)
{
    const TokenTables tables = realTables();
    std::string escaped;
    for (int i = 0; i < 100; ++i)
        escaped += "&quot;";
    EXPECT_TRUE(wbxml::encode(parmLine("NAME", escaped), tables).has_value());
    // 127 high bytes are 512 digits of inline string with its start and end.
    EXPECT_FALSE(wbxml::encode(parmLine("NAME", std::string(127, '\xe9')), tables).has_value());
    EXPECT_TRUE(wbxml::encode(parmLine("NAME", std::string(126, '\xe9')), tables).has_value());
}

TEST(WbxmlEncoder, outputIsBoundedByTheWbxmlLimit)
{
    const TokenTables tables = realTables();
    // A NAME parm with n plain characters encodes to 12 + 2n digits; the header
    // and the root's END add 16. 19 lines of 200 characters give 7844 digits.
    std::string document;
    for (int i = 0; i < 19; ++i)
        document += parmLine("NAME", std::string(200, 'x'));
    // 7844 + 12 + 2 * 117 = 8090, the longest even length within the limit.
    const std::string last = parmLine("NAME", std::string(117, 'y'));
    const auto exact = wbxml::encode(document + last, tables);
    ASSERT_TRUE(exact.has_value());
    EXPECT_EQ(exact->size(), 8090u);
    EXPECT_FALSE(wbxml::encode(document + last + parmLine("NAME", ""), tables).has_value());
    EXPECT_FALSE(wbxml::encode(document + parmLine("NAME", std::string(118, 'y')), tables));
}

TEST(WbxmlEncoder, missingOrEmptyTableMakesEveryEncodingFail)
{
    const std::string document = *mailvane::provisioning::buildDocument({});
    mailvane::test::TempDir dir;
    TokenTables missing;
    EXPECT_FALSE(missing.load(dir / "table.dat"));
    EXPECT_TRUE(missing.empty());
    EXPECT_FALSE(wbxml::encode(document, missing).has_value());

    std::ofstream(dir / "table.dat") << "# nothing but a comment\n";
    TokenTables empty;
    EXPECT_TRUE(empty.load(dir / "table.dat"));
    EXPECT_FALSE(wbxml::encode(document, empty).has_value());

    TokenTables reloaded = realTables();
    ASSERT_TRUE(wbxml::encode(document, reloaded).has_value());
    EXPECT_FALSE(reloaded.load(dir / "absent.dat"));
    EXPECT_FALSE(wbxml::encode(document, reloaded).has_value());

    // A path that cannot be read, such as a folder, counts as missing.
    TokenTables unreadable = realTables();
    EXPECT_FALSE(unreadable.load(dir.path()));
    EXPECT_TRUE(unreadable.empty());
    EXPECT_FALSE(wbxml::encode(document, unreadable).has_value());
}

TEST(WbxmlEncoder, tokenTextThatIsNotWholeHexBytesFailsTheEncoding)
{
    for (const char* token : {"8", "87x", "zz"}) {
        TokenTables tables = tablesWith("parm 87 0\nvalue 06 0\nNAME 07 0\n");
        tables.loadText(std::string("parm 87 0\nvalue 06 0\nNAME ") + token + " 0\n");
        EXPECT_FALSE(wbxml::encode(parmLine("NAME", "x"), tables).has_value()) << token;
    }
}

TEST(WbxmlEncoder, realTableEncodesApplicationParmsAsTheStandardsExample)
{
    const TokenTables tables = realTables();
    EXPECT_EQ(bodyOf(tables, "<characteristic type=\"APPLICATION\">\n" + parmLine("APPID", "110") +
                                 parmLine("FROM", "a") + "</characteristic>\n"),
              "c6000155"
              "01"
              "87"
              "36"
              "000006"
              "0331313000"
              "01"
              "87"
              "050346524f4d00"
              "06"
              "036100"
              "01"
              "01");
}

TEST(WbxmlEncoder, copyEncodesAloneAfterTheOriginalIsGone)
{
    const std::string document = *mailvane::provisioning::buildDocument({});
    std::optional<TokenTables> original(realTables());
    const auto expected = wbxml::encode(document, *original);
    ASSERT_TRUE(expected.has_value());
    const TokenTables copy = *original;
    original.reset();
    EXPECT_EQ(wbxml::encode(document, copy), expected);
}

// The tables remember what element beginnings write; repeating the lines
// (so that later rounds use what they remembered) must give the same bytes as
// the first round, which was worked out afresh.
TEST(WbxmlEncoder, rememberedBeginningsGiveTheSameBytesAsFreshOnes)
{
    const std::string round = "<characteristic type=\"APPLICATION\">\n"
                              "  <parm name=\"APPID\" value=\"110\"/>\n"
                              "  <parm name=\"APPID\" value=\"143\"/>\n"
                              "<characteristic type=\"PORT\" extra=\"1\">\n"
                              "<characteristic type=\"PORT\" extra=\"2\">\n"
                              // A quote in an attribute name moves the value past the third quote.
                              "  <parm na\"me=\"NAME\" value=\"first\"/>\n"
                              "  <parm na\"me=\"NAME\" value=\"second\"/>\n"
                              "  <parm na\"me=\"NAME\"/>\n"
                              "  <parm na\"me=\"NAME\" value=\"x\"/>\n"
                              "  <parm name=\"NAME\"/>\n"
                              "  <parm name=\"NAME\" />\n"
                              "</characteristic>\n";
    const std::string roundBytes = "c600015501" // page 0 -> 1
                                   "87"
                                   "36"
                                   "000006"
                                   "0331313000"
                                   "01" // page 1 -> 0
                                   "87"
                                   "000136"
                                   "000006"
                                   "0331343300"
                                   "01"
                                   "c65301"
                                   "c65301"
                                   "8707"
                                   "06"
                                   "03666972737400"
                                   "01"
                                   "8707"
                                   "06"
                                   "037365636f6e6400"
                                   "01"
                                   "870701"
                                   "8707"
                                   "06"
                                   "037800"
                                   "01"
                                   "870701"
                                   "870701"
                                   "01";
    TokenTables tables = realTables();
    EXPECT_EQ(wbxml::encode(round + round + round, tables),
              Header + roundBytes + roundBytes + roundBytes + "01");
    // A new table forgets what the old one wrote.
    tables.loadText("characteristic c6 0\nparm 87 0\n/characteristic 01 0\n"
                    "APPLICATION 79 0\nAPPID 56 0\nvalue 06 0\nPORT 53 0\nNAME 70 0\n");
    EXPECT_EQ(wbxml::encode("<characteristic type=\"APPLICATION\">\n"
                            "  <parm name=\"NAME\"/>\n",
                            tables),
              Header +
                  std::string("c67901"
                              "877001") +
                  "01");
    // Tag and attribute names too: here the new table moves them to page 1
    // with other tokens.
    tables.loadText("characteristic c5 1\nparm 88 1\n/characteristic 01 1\n"
                    "APPLICATION 79 1\nNAME 70 1\nvalue 0a 1\n");
    EXPECT_EQ(wbxml::encode("<characteristic type=\"APPLICATION\">\n"
                            "  <parm name=\"NAME\" value=\"x\"/>\n"
                            "</characteristic>\n",
                            tables),
              Header +
                  std::string("0001c57901"
                              "88700a03780001"
                              "01") +
                  "01");
}
