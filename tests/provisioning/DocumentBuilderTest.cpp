#include "DocumentBuilder.h"

#include <gtest/gtest.h>
#include <string>

using mailvane::provisioning::buildDocument;
using mailvane::provisioning::MaxDocumentLength;
using mailvane::settings::EmailSettings;
namespace values = mailvane::settings::values;

namespace {

std::string documentOf(const EmailSettings& record)
{
    const auto document = buildDocument(record);
    EXPECT_TRUE(document.has_value());
    return document.value_or(std::string{});
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

EmailSettings pop3Only()
{
    EmailSettings record;
    record.incomingServerType = values::Pop3;
    return record;
}

} // namespace

TEST(DocumentBuilder, onlyServerTypeYieldsTheTwoBareApplications)
{
    EXPECT_EQ(documentOf(pop3Only()), "<characteristic type=\"APPLICATION\">\n"
                                      "  <parm name=\"APPID\" value=\"25\"/>\n"
                                      "</characteristic>\n"
                                      "<characteristic type=\"APPLICATION\">\n"
                                      "  <parm name=\"APPID\" value=\"110\"/>\n"
                                      "</characteristic>\n");
}

TEST(DocumentBuilder, absentServerTypeCountsAsImap4)
{
    EmailSettings record;
    record.retrieveMethod = values::Latest;
    const std::string document = documentOf(record);
    EXPECT_TRUE(contains(document, "  <parm name=\"APPID\" value=\"143\"/>\n"));
    EXPECT_TRUE(contains(document, "  <parm name=\"RETRIEVE-METHOD\" value=\"LATEST\"/>\n"));
}

TEST(DocumentBuilder, gprsRecordWithProxiesInFullShape)
{
    EmailSettings record;
    record.mailbox = "Work";
    record.emailAddress = "ann@example.org";
    record.outgoingServer = "smtp.example.org";
    record.outgoingPort = "25";
    record.incomingServer = "imap.example.org";
    record.incomingPort = "143";
    record.incomingServerType = values::Imap4;
    record.incomingServerUsername = "ann";
    record.incomingServerPassword = "pw";
    record.secureLogin = values::Yes;
    record.smtpAuthorization = values::Yes;
    record.smtpUsername = "ann";
    record.replyToAddress = "reply@example.org";
    record.retrieveEmails = "20";
    record.retrieveMethod = values::LatestUnread;
    record.outgoing.proxies = values::Yes;
    record.outgoing.secondaryProxy = "10.0.0.2";
    record.outgoing.secondaryProxyPort = "8080";
    record.outgoing.dataBearer = values::Gprs;
    record.outgoing.gprsAccessPoint = "internet";
    record.outgoing.bearerAuthenticationType = values::Secure;
    record.outgoing.bearerUsername = "u";
    record.outgoing.bearerPassword = "p";

    EXPECT_EQ(documentOf(record),
              "<characteristic type=\"BOOTSTRAP\">\n"
              "  <parm name=\"NAME\" value=\"Work\"/>\n"
              "</characteristic>\n"
              "<characteristic type=\"PXLOGICAL\">\n"
              "  <parm name=\"PROXY-ID\" value=\"SECONDARY_SMTP_PROXY\"/>\n"
              "  <parm name=\"NAME\" value=\"Secondary SMTP Proxy\"/>\n"
              "  <characteristic type=\"PORT\">\n"
              "    <parm name=\"PORTNBR\" value=\"8080\"/>\n"
              "  </characteristic>\n"
              "  <characteristic type=\"PXPHYSICAL\">\n"
              "    <parm name=\"PHYSICAL-PROXY-ID\" value=\"sid\"/>\n"
              "  <parm name=\"PXADDR\" value=\"10.0.0.2\"/>\n"
              "    <parm name=\"TO-NAPID\" value=\"SMTP_GPRS_NAPDEF\"/>\n"
              "  </characteristic>\n"
              "</characteristic>\n"
              "<characteristic type=\"NAPDEF\">\n"
              "  <parm name=\"NAPID\" value=\"SMTP_GPRS_NAPDEF\"/>\n"
              "  <parm name=\"BEARER\" value=\"GSM-GPRS\"/>\n"
              "  <parm name=\"NAME\" value=\"napname\"/>\n"
              "  <parm name=\"NAP-ADDRESS\" value=\"internet\"/>\n"
              "  <parm name=\"NAP-ADDRTYPE\" value=\"APN\"/>\n"
              "  <characteristic type=\"NAPAUTHINFO\">\n"
              "    <parm name=\"AUTHNAME\" value=\"u\"/>\n"
              "    <parm name=\"AUTHTYPE\" value=\"CHAP\"/>\n"
              "    <parm name=\"AUTHSECRET\" value=\"p\"/>\n"
              "  </characteristic>\n"
              "</characteristic>\n"
              "<characteristic type=\"APPLICATION\">\n"
              "  <parm name=\"APPID\" value=\"25\"/>\n"
              "  <parm name=\"FROM\" value=\"ann@example.org\"/>\n"
              "  <characteristic type=\"APPADDR\">\n"
              "    <parm name=\"ADDR\" value=\"smtp.example.org\"/>\n"
              "    <characteristic type=\"PORT\">\n"
              "      <parm name=\"PORTNBR\" value=\"25\"/>\n"
              "    </characteristic>\n"
              "  </characteristic>\n"
              "  <parm name=\"TO-NAPID\" value=\"SMTP_GPRS_NAPDEF\"/>\n"
              "  <parm name=\"TO-PROXY\" value=\"SECONDARY_SMTP_PROXY\"/>\n"
              "  <parm name=\"NAME\" value=\"Work\"/>\n"
              "  <characteristic type=\"APPAUTH\">\n"
              "    <parm name=\"AAUTHTYPE\" value=\"LOGIN\"/>\n"
              "    <parm name=\"AAUTHNAME\" value=\"ann\"/>\n"
              "  </characteristic>\n"
              "  <parm name=\"REPLY-TO-ADDRESS\" value=\"reply@example.org\"/>\n"
              "</characteristic>\n"
              "<characteristic type=\"APPLICATION\">\n"
              "  <parm name=\"APPID\" value=\"143\"/>\n"
              "  <characteristic type=\"APPADDR\">\n"
              "    <parm name=\"ADDR\" value=\"imap.example.org\"/>\n"
              "    <characteristic type=\"PORT\">\n"
              "      <parm name=\"PORTNBR\" value=\"143\"/>\n"
              "    </characteristic>\n"
              "  </characteristic>\n"
              "  <characteristic type=\"APPAUTH\">\n"
              "    <parm name=\"AAUTHTYPE\" value=\"APOP\"/>\n"
              "    <parm name=\"AAUTHNAME\" value=\"ann\"/>\n"
              "    <parm name=\"AAUTHSECRET\" value=\"pw\"/>\n"
              "  </characteristic>\n"
              "  <parm name=\"RETRIEVE-METHOD\" value=\"LATEST-UNREAD\"/>\n"
              "  <parm name=\"MAIL-TO-RETRIEVE\" value=\"20\"/>\n"
              "</characteristic>\n");
}

TEST(DocumentBuilder, incomingGsmAccessPointWithProxyAndAnalogCall)
{
    EmailSettings record = pop3Only();
    record.incoming.proxies = values::Yes;
    record.incoming.primaryProxy = "proxy.example.org";
    record.incoming.dataBearer = values::GsmData;
    record.incoming.gsmDialUpNumber = "+4412345";
    record.incoming.gsmDataCallType = values::Analog;
    record.incoming.gsmDataCallSpeed = "9600";
    record.incoming.gprsAccessPoint = "ignored";
    const std::string document = documentOf(record);
    EXPECT_TRUE(contains(document, "<characteristic type=\"PXLOGICAL\">\n"
                                   "  <parm name=\"PROXY-ID\" value=\"PRIMARY_IN_PROXY\"/>\n"
                                   "  <parm name=\"NAME\" value=\"Primary IN Proxy\"/>\n"
                                   "  <characteristic type=\"PXPHYSICAL\">\n"
                                   "    <parm name=\"PHYSICAL-PROXY-ID\" value=\"pid\"/>\n"
                                   "  <parm name=\"PXADDR\" value=\"proxy.example.org\"/>\n"
                                   "    <parm name=\"TO-NAPID\" value=\"IN_CSD_NAPDEF\"/>\n"
                                   "  </characteristic>\n"
                                   "</characteristic>\n"
                                   "<characteristic type=\"NAPDEF\">\n"
                                   "  <parm name=\"NAPID\" value=\"IN_CSD_NAPDEF\"/>\n"
                                   "  <parm name=\"BEARER\" value=\"GSM-CSD\"/>\n"
                                   "  <parm name=\"NAME\" value=\"napname\"/>\n"
                                   "  <parm name=\"NAP-ADDRESS\" value=\"+4412345\"/>\n"
                                   "  <parm name=\"NAP-ADDRTYPE\" value=\"E164\"/>\n"
                                   "    <parm name=\"CALLTYPE\" value=\"ANALOG-MODEM\"/>\n"
                                   "    <parm name=\"LINKSPEED\" value=\"9600\"/>\n"
                                   "</characteristic>\n"));
    EXPECT_TRUE(contains(document, "  <parm name=\"TO-NAPID\" value=\"IN_CSD_NAPDEF\"/>\n"
                                   "  <parm name=\"TO-PROXY\" value=\"PRIMARY_IN_PROXY\"/>\n"));
    EXPECT_FALSE(contains(document, "ignored"));
}

// One row per rule of the builder's conditions that a full-shape test would not
// single out.
struct ConditionCase
{
    const char* name;
    void (*edit)(EmailSettings&);
    const char* expectedPart; // must appear
    const char* absentPart;   // must not appear
};

void PrintTo(const ConditionCase& c, std::ostream* os)
{
    *os << c.name;
}

const ConditionCase ConditionCases[] = {
    {"proxiesWithoutAddressesAddNothing",
     [](EmailSettings& r) {
         r.outgoing.proxies = values::Yes;
         r.outgoing.primaryProxy = "";
         r.outgoing.primaryProxyPort = "8080";
     },
     "", "PXLOGICAL"},
    {"proxiesNoHidesProxyAndLink",
     [](EmailSettings& r) {
         r.outgoing.proxies = values::No;
         r.outgoing.primaryProxy = "p";
     },
     "", "PROXY"},
    {"outgoingAnalogCallTypeWritesNoCallType",
     [](EmailSettings& r) {
         r.outgoing.dataBearer = values::GsmData;
         r.outgoing.gsmDialUpNumber = "1";
         r.outgoing.gsmDataCallType = values::Analog;
     },
     "SMTP_CSD_NAPDEF", "CALLTYPE"},
    {"outgoingIsdnCallTypeWritesV110",
     [](EmailSettings& r) {
         r.outgoing.dataBearer = values::GsmData;
         r.outgoing.gsmDataCallType = values::Isdn;
     },
     "    <parm name=\"CALLTYPE\" value=\"V.110\"/>\n", "NAP-ADDRESS"},
    {"gprsWithoutAccessPointNameHasNoAddress",
     [](EmailSettings& r) {
         r.incoming.dataBearer = values::Gprs;
         r.incoming.gprsAccessPoint = "";
         r.incoming.gsmDialUpNumber = "555";
     },
     "IN_GPRS_NAPDEF", "NAP-ADDR"},
    {"normalTypeAloneGivesAuthGroupWithPapOnly",
     [](EmailSettings& r) {
         r.incoming.dataBearer = values::Gprs;
         r.incoming.bearerAuthenticationType = values::Normal;
     },
     "  <characteristic type=\"NAPAUTHINFO\">\n"
     "    <parm name=\"AUTHTYPE\" value=\"PAP\"/>\n"
     "  </characteristic>\n",
     "AUTHNAME"},
    {"gprsBearerIgnoresCallSpeed",
     [](EmailSettings& r) {
         r.incoming.dataBearer = values::Gprs;
         r.incoming.gsmDataCallSpeed = "14400";
         r.incoming.gsmDataCallType = values::Isdn;
     },
     "GSM-GPRS", "14400"},
    {"smtpAuthorizationNoOpensEmptyAppAuth",
     [](EmailSettings& r) { r.smtpAuthorization = values::No; },
     "  <characteristic type=\"APPAUTH\">\n  </characteristic>\n", "LOGIN"},
    {"secureLoginAloneOpensNoIncomingAppAuth",
     [](EmailSettings& r) { r.secureLogin = values::Yes; }, "", "APOP"},
    {"retrieveMethodIsForImap4Only",
     [](EmailSettings& r) {
         r.retrieveMethod = values::LatestUnread;
         r.retrieveEmails = "5";
     },
     "  <parm name=\"MAIL-TO-RETRIEVE\" value=\"5\"/>\n", "RETRIEVE-METHOD"},
    {"emptyMailboxWritesNoBootstrapAndNoName", [](EmailSettings& r) { r.mailbox = ""; }, "",
     "NAME"},
    {"portAloneOpensAppAddrWithoutAddr", [](EmailSettings& r) { r.outgoingPort = "587"; },
     "  <characteristic type=\"APPADDR\">\n"
     "    <characteristic type=\"PORT\">\n"
     "      <parm name=\"PORTNBR\" value=\"587\"/>\n",
     "name=\"ADDR\""},
    {"myNameAndSignatureAreNotSent",
     [](EmailSettings& r) {
         r.myName = "Ann";
         r.includeSignature = values::Yes;
     },
     "", "Ann"},
};

class DocumentBuilderCondition : public testing::TestWithParam<ConditionCase>
{};

TEST_P(DocumentBuilderCondition, holds)
{
    EmailSettings record = pop3Only();
    GetParam().edit(record);
    const std::string document = documentOf(record);
    EXPECT_TRUE(contains(document, GetParam().expectedPart)) << document;
    EXPECT_FALSE(contains(document, GetParam().absentPart)) << document;
}

INSTANTIATE_TEST_SUITE_P(Rules, DocumentBuilderCondition, testing::ValuesIn(ConditionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DocumentBuilder, markupCharactersInValuesBecomeEntities)
{
    EmailSettings record = pop3Only();
    record.incomingServerPassword = "a\"b&c<d>e&amp;";
    record.mailbox = "\xe9t\xe9";
    const std::string document = documentOf(record);
    EXPECT_TRUE(contains(document, "value=\"a&quot;b&amp;c&lt;d&gt;e&amp;amp;\"/>\n"));
    EXPECT_TRUE(contains(document, "value=\"\xe9t\xe9\"/>\n"));
}

TEST(DocumentBuilder, documentPastTheLimitIsRefused)
{
    EmailSettings record = pop3Only();
    record.replyToAddress = std::string(7000, 'x');
    const auto shorter = buildDocument(record);
    ASSERT_TRUE(shorter.has_value());
    record.replyToAddress->append(MaxDocumentLength - shorter->size(), 'x');
    const auto atLimit = buildDocument(record);
    ASSERT_TRUE(atLimit.has_value());
    EXPECT_EQ(atLimit->size(), MaxDocumentLength);

    record.replyToAddress->push_back('x');
    EXPECT_FALSE(buildDocument(record).has_value());
    // Entities count as the character they stand for.
    record.replyToAddress->pop_back();
    record.replyToAddress->back() = '&';
    const auto escaped = buildDocument(record);
    ASSERT_TRUE(escaped.has_value());
    EXPECT_EQ(escaped->size(), MaxDocumentLength + 4);
}

TEST(DocumentBuilder, incomingProxiesBothNamedAsSentInFullShape)
{
    EmailSettings record = pop3Only();
    record.incoming.proxies = values::Yes;
    record.incoming.primaryProxy = "10.0.0.1";
    record.incoming.primaryProxyPort = "8080";
    record.incoming.secondaryProxy = "10.0.0.2";
    record.incoming.secondaryProxyPort = "9090";
    record.incoming.dataBearer = values::Gprs;
    record.incoming.gprsAccessPoint = "internet";
    EXPECT_EQ(documentOf(record), "<characteristic type=\"PXLOGICAL\">\n"
                                  "  <parm name=\"PROXY-ID\" value=\"PRIMARY_IN_PROXY\"/>\n"
                                  "  <parm name=\"NAME\" value=\"Primary IN Proxy\"/>\n"
                                  "  <characteristic type=\"PORT\">\n"
                                  "    <parm name=\"PORTNBR\" value=\"8080\"/>\n"
                                  "  </characteristic>\n"
                                  "  <characteristic type=\"PXPHYSICAL\">\n"
                                  "    <parm name=\"PHYSICAL-PROXY-ID\" value=\"pid\"/>\n"
                                  "  <parm name=\"PXADDR\" value=\"10.0.0.1\"/>\n"
                                  "    <parm name=\"TO-NAPID\" value=\"IN_GPRS_NAPDEF\"/>\n"
                                  "  </characteristic>\n"
                                  "</characteristic>\n"
                                  "<characteristic type=\"PXLOGICAL\">\n"
                                  "  <parm name=\"PROXY-ID\" value=\"SECONDARY_IN_PROXY\"/>\n"
                                  "  <parm name=\"NAME\" value=\"Secondary In Proxy\"/>\n"
                                  "  <characteristic type=\"PORT\">\n"
                                  "    <parm name=\"PORTNBR\" value=\"9090\"/>\n"
                                  "  </characteristic>\n"
                                  "  <characteristic type=\"PXPHYSICAL\">\n"
                                  "    <parm name=\"PHYSICAL-PROXY-ID\" value=\"sid\"/>\n"
                                  "  <parm name=\"PXADDR\" value=\"10.0.0.2\"/>\n"
                                  "    <parm name=\"TO-NAPID\" value=\"IN_GPRS_NAPDEF\"/>\n"
                                  "  </characteristic>\n"
                                  "</characteristic>\n"
                                  "<characteristic type=\"NAPDEF\">\n"
                                  "  <parm name=\"NAPID\" value=\"IN_GPRS_NAPDEF\"/>\n"
                                  "  <parm name=\"BEARER\" value=\"GSM-GPRS\"/>\n"
                                  "  <parm name=\"NAME\" value=\"napname\"/>\n"
                                  "  <parm name=\"NAP-ADDRESS\" value=\"internet\"/>\n"
                                  "  <parm name=\"NAP-ADDRTYPE\" value=\"APN\"/>\n"
                                  "</characteristic>\n"
                                  "<characteristic type=\"APPLICATION\">\n"
                                  "  <parm name=\"APPID\" value=\"25\"/>\n"
                                  "</characteristic>\n"
                                  "<characteristic type=\"APPLICATION\">\n"
                                  "  <parm name=\"APPID\" value=\"110\"/>\n"
                                  "  <parm name=\"TO-NAPID\" value=\"IN_GPRS_NAPDEF\"/>\n"
                                  "  <parm name=\"TO-PROXY\" value=\"PRIMARY_IN_PROXY\"/>\n"
                                  "  <parm name=\"TO-PROXY\" value=\"SECONDARY_IN_PROXY\"/>\n"
                                  "</characteristic>\n");
}

TEST(DocumentBuilder, escapingAgreesWithTheCharacterRuleAtEveryPositionAndLength)
{
    // The rule one character at a time; the builder may take faster ways to it.
    const auto expected = [](std::string_view value) {
        std::string text;
        for (const char c : value) {
            switch (c) {
            case '&':
                text += "&amp;";
                break;
            case '"':
                text += "&quot;";
                break;
            case '<':
                text += "&lt;";
                break;
            case '>':
                text += "&gt;";
                break;
            default:
                text += c;
            }
        }
        return text;
    };
    for (std::size_t length = 1; length <= 40; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            for (const char special : {'&', '"', '<', '>'}) {
                std::string value(length, 'a');
                value[at] = special;
                value[length - 1 - at] = special; // a second one, or the same
                std::string out = "prefix";
                const std::size_t added = mailvane::provisioning::appendEscaped(out, value);
                ASSERT_EQ(out, "prefix" + expected(value)) << length << " " << at << special;
                ASSERT_EQ(added, expected(value).size() - value.size());
            }
        }
    }
}
