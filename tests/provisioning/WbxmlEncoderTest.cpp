#include "WbxmlEncoder.h"

#include "DocumentBuilder.h"
#include "TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>

using mailvane::provisioning::MaxWbxmlDigits;
using mailvane::provisioning::WbxmlEncoder;

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

WbxmlEncoder encoderWith(const char* table)
{
    WbxmlEncoder encoder;
    encoder.loadTokenTableText(table);
    return encoder;
}

WbxmlEncoder realEncoder()
{
    WbxmlEncoder encoder;
    EXPECT_TRUE(encoder.loadTokenTable(MAILVANE_TOKEN_TABLE_PATH));
    return encoder;
}

// The body of the encoding of `document`: without the fixed header and the
// root element's END.
std::string bodyOf(WbxmlEncoder& encoder, const std::string& document)
{
    const auto wbxml = encoder.encodeDocument(document);
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
    WbxmlEncoder encoder = encoderWith(ExampleTable);
    EXPECT_EQ(bodyOf(encoder, "<characteristic type=\"APPLICATION\">\n" + parmLine("APPID", "25") +
                                  "</characteristic>\n"),
              "c67901"
              "8756060332350001"
              "01");
}

TEST(WbxmlEncoder, pageSwitchPrecedesATokenFromTheOtherPageOnly)
{
    WbxmlEncoder encoder = encoderWith("A 81 0\nB 82 1\nC 83 7\nA 91 1\n");
    std::string out;
    EXPECT_TRUE(encoder.lookUp("A", out));
    EXPECT_TRUE(encoder.lookUp("B", out));
    EXPECT_EQ(encoder.currentCodePage(), 1);
    EXPECT_TRUE(encoder.lookUp("C", out));
    EXPECT_TRUE(encoder.lookUp("A", out)); // page 1 is current and holds A too
    encoder.resetCodePage();
    EXPECT_TRUE(encoder.lookUp("A", out));
    EXPECT_FALSE(encoder.lookUp("D", out));
    EXPECT_EQ(out, "81"
                   "000182"
                   "83"
                   "91"
                   "81");
}

TEST(WbxmlEncoder, inlineStringsWriteHighBytesAsUtf8)
{
    WbxmlEncoder encoder = encoderWith(ExampleTable);
    EXPECT_EQ(bodyOf(encoder, parmLine("APPID", "0")), "875606033000"
                                                       "01");
    EXPECT_EQ(bodyOf(encoder, parmLine("APPID", "caf\xe9\x80\xff")), "875606"
                                                                     "03636166c3a9c280c3bf00"
                                                                     "01");
}

TEST(WbxmlEncoder, parmWithoutSecondAttributeEndsAfterItsFirstValue)
{
    WbxmlEncoder encoder = encoderWith(ExampleTable);
    EXPECT_EQ(bodyOf(encoder, "  <parm name=\"APPID\"/>\n"), "875601");
    EXPECT_EQ(bodyOf(encoder, "  <parm name=\"APPID\" />\n"), "875601");
}

TEST(WbxmlEncoder, linesThatAreNotElementsContributeNothing)
{
    WbxmlEncoder encoder = encoderWith(ExampleTable);
    EXPECT_EQ(bodyOf(encoder, "hello\n\n   \n  text <parm\n" + parmLine("APPID", "")), "87560603"
                                                                                       "00"
                                                                                       "01");
}

TEST(WbxmlEncoder, entitiesAreDecodedBeforeLookupAndInlineString)
{
    WbxmlEncoder encoder = encoderWith(ExampleTable);
    EXPECT_EQ(bodyOf(encoder, parmLine("APPID", "a&quot;b&amp;c&lt;d&gt;&amp;quot;&x;")),
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
    WbxmlEncoder encoder = encoderWith("characteristic c6 0\nparm 87 0\n/characteristic 01 0\n"
                                       "value 06 0\nNAME 07 0\nAPPID 36 1\nGSM-GPRS ab 0\n"
                                       "LONG 8181 0\nE164 87 1\n");
    const auto encodeValue = [&](const std::string& value) {
        encoder.resetCodePage();
        return bodyOf(encoder, parmLine("NAME", value));
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
    // Rejected entries of the other page leave the page alone.
    EXPECT_EQ(encodeValue("APPID"), "870706"
                                    "03415050494400"
                                    "01");
    EXPECT_EQ(encoder.currentCodePage(), 0);
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
    WbxmlEncoder encoder = realEncoder();
    EXPECT_FALSE(encoder.encodeDocument(GetParam().document).has_value());
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
    WbxmlEncoder encoder = realEncoder();
    std::string escaped;
    for (int i = 0; i < 100; ++i)
        escaped += "&quot;";
    EXPECT_TRUE(encoder.encodeDocument(parmLine("NAME", escaped)).has_value());
    // 127 high bytes are 512 digits of inline string with its start and end.
    EXPECT_FALSE(encoder.encodeDocument(parmLine("NAME", std::string(127, '\xe9'))).has_value());
    EXPECT_TRUE(encoder.encodeDocument(parmLine("NAME", std::string(126, '\xe9'))).has_value());
}

TEST(WbxmlEncoder, outputIsBoundedByTheWbxmlLimit)
{
    WbxmlEncoder encoder = realEncoder();
    // A NAME parm with n plain characters encodes to 12 + 2n digits; the header
    // and the root's END add 16. 19 lines of 200 characters give 7844 digits.
    std::string document;
    for (int i = 0; i < 19; ++i)
        document += parmLine("NAME", std::string(200, 'x'));
    // 7844 + 12 + 2 * 117 = 8090, the longest even length within the limit.
    const std::string last = parmLine("NAME", std::string(117, 'y'));
    const auto exact = encoder.encodeDocument(document + last);
    ASSERT_TRUE(exact.has_value());
    EXPECT_EQ(exact->size(), 8090u);
    EXPECT_FALSE(encoder.encodeDocument(document + last + parmLine("NAME", "")).has_value());
    EXPECT_FALSE(encoder.encodeDocument(document + parmLine("NAME", std::string(118, 'y'))));
}

TEST(WbxmlEncoder, missingOrEmptyTableMakesEveryEncodingFail)
{
    const std::string document = *mailvane::provisioning::buildDocument({});
    mailvane::test::TempDir dir;
    WbxmlEncoder missing;
    EXPECT_FALSE(missing.loadTokenTable(dir / "table.dat"));
    EXPECT_FALSE(missing.hasTokens());
    EXPECT_FALSE(missing.encodeDocument(document).has_value());

    std::ofstream(dir / "table.dat") << "# nothing but a comment\n";
    WbxmlEncoder empty;
    EXPECT_TRUE(empty.loadTokenTable(dir / "table.dat"));
    EXPECT_FALSE(empty.encodeDocument(document).has_value());

    WbxmlEncoder reloaded = realEncoder();
    ASSERT_TRUE(reloaded.encodeDocument(document).has_value());
    EXPECT_FALSE(reloaded.loadTokenTable(dir / "absent.dat"));
    EXPECT_FALSE(reloaded.encodeDocument(document).has_value());

    // A path that cannot be read, such as a folder, counts as missing.
    WbxmlEncoder unreadable = realEncoder();
    EXPECT_FALSE(unreadable.loadTokenTable(dir.path()));
    EXPECT_FALSE(unreadable.hasTokens());
    EXPECT_FALSE(unreadable.encodeDocument(document).has_value());
}

TEST(WbxmlEncoder, tokenTextThatIsNotWholeHexBytesFailsTheEncoding)
{
    for (const char* token : {"8", "87x", "zz"}) {
        WbxmlEncoder encoder = encoderWith("parm 87 0\nvalue 06 0\nNAME 07 0\n");
        encoder.loadTokenTableText(std::string("parm 87 0\nvalue 06 0\nNAME ") + token + " 0\n");
        EXPECT_FALSE(encoder.encodeDocument(parmLine("NAME", "x")).has_value()) << token;
    }
}

TEST(WbxmlEncoder, realTableEncodesApplicationParmsAsTheStandardsExample)
{
    WbxmlEncoder encoder = realEncoder();
    EXPECT_EQ(bodyOf(encoder, "<characteristic type=\"APPLICATION\">\n" + parmLine("APPID", "110") +
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
    std::optional<WbxmlEncoder> original(realEncoder());
    const auto expected = original->encodeDocument(document);
    ASSERT_TRUE(expected.has_value());
    WbxmlEncoder copy = *original;
    original.reset();
    copy.resetCodePage();
    EXPECT_EQ(copy.encodeDocument(document), expected);
}

// The encoder remembers what element beginnings write; repeating the lines
// (so that later rounds use what it remembered) must give the same bytes as
// the first round, which it worked out afresh.
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
    WbxmlEncoder encoder = realEncoder();
    EXPECT_EQ(encoder.encodeDocument(round + round + round),
              Header + roundBytes + roundBytes + roundBytes + "01");
    // A new table forgets what the old one wrote.
    encoder.loadTokenTableText("characteristic c6 0\nparm 87 0\n/characteristic 01 0\n"
                               "APPLICATION 79 0\nAPPID 56 0\nvalue 06 0\nPORT 53 0\nNAME 70 0\n");
    encoder.resetCodePage();
    EXPECT_EQ(encoder.encodeDocument("<characteristic type=\"APPLICATION\">\n"
                                     "  <parm name=\"NAME\"/>\n"),
              Header +
                  std::string("c67901"
                              "877001") +
                  "01");
    // So does what it looked up for tag and attribute names: here the new
    // table moves them to page 1 with other tokens.
    encoder.loadTokenTableText("characteristic c5 1\nparm 88 1\n/characteristic 01 1\n"
                               "APPLICATION 79 1\nNAME 70 1\nvalue 0a 1\n");
    encoder.resetCodePage();
    EXPECT_EQ(encoder.encodeDocument("<characteristic type=\"APPLICATION\">\n"
                                     "  <parm name=\"NAME\" value=\"x\"/>\n"
                                     "</characteristic>\n"),
              Header +
                  std::string("0001c57901"
                              "88700a03780001"
                              "01") +
                  "01");
}
