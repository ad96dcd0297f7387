// Checks our pushes against independent peers: libwbxml's wbxml2xml decodes
// the WBXML back to XML, openssl recomputes the HMAC-SHA1, tshark reads the
// push header.

#include "DocumentBuilder.h"
#include "HexText.h"
#include "MessageSegmenter.h"
#include "PushBuilder.h"
#include "SampleRecords.h"
#include "TempDir.h"
#include "TokenTable.h"
#include "WbxmlEncoder.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

using namespace mailvane;
using provisioning::TokenTables;

namespace {

struct CommandResult
{
    int status = -1;
    std::string output;
};

CommandResult run(const std::string& command)
{
    CommandResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string quoted(const std::filesystem::path& path)
{
    return "'" + path.string() + "'";
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::string latin1ToUtf8(std::string_view text)
{
    std::string utf8;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8.push_back(c);
        } else {
            utf8.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return utf8;
}

std::string decodeXmlEntities(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out.push_back(text[i]);
            continue;
        }
        const std::size_t semicolon = text.find(';', i);
        const std::string_view entity = text.substr(i + 1, semicolon - i - 1);
        if (entity == "amp")
            out.push_back('&');
        else if (entity == "quot")
            out.push_back('"');
        else if (entity == "lt")
            out.push_back('<');
        else if (entity == "gt")
            out.push_back('>');
        else if (entity == "apos")
            out.push_back('\'');
        else if (!entity.empty() && entity[0] == '#') {
            const bool hexadecimal = entity.size() > 1 && entity[1] == 'x';
            const unsigned long code = std::stoul(std::string(entity.substr(hexadecimal ? 2 : 1)),
                                                  nullptr, hexadecimal ? 16 : 10);
            EXPECT_LT(code, 0x80u) << "only ASCII character references expected";
            out.push_back(static_cast<char>(code));
        } else {
            ADD_FAILURE() << "unknown entity " << entity;
        }
        i = semicolon;
    }
    return out;
}

struct Element
{
    enum Kind
    {
        Start,
        End,
        Empty
    } kind;
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;

    bool operator==(const Element&) const = default;
};

void PrintTo(const Element& e, std::ostream* os)
{
    *os << (e.kind == Element::End ? "</" : "<") << e.name;
    for (const auto& [name, value] : e.attributes)
        *os << ' ' << name << "=\"" << value << '"';
    *os << (e.kind == Element::Empty ? "/>" : ">");
}

// The elements of an XML text, attribute values decoded (and, for our own
// Latin-1 document, turned into UTF-8 as libwbxml writes them).
std::vector<Element> parseElements(std::string_view xml, bool latin1)
{
    std::vector<Element> elements;
    std::size_t pos = 0;
    while ((pos = xml.find('<', pos)) != std::string_view::npos) {
        if (xml.substr(pos, 2) == "<?" || xml.substr(pos, 2) == "<!") {
            pos = xml.find('>', pos);
            continue;
        }
        Element element{Element::Start, {}, {}};
        ++pos;
        if (xml[pos] == '/') {
            element.kind = Element::End;
            ++pos;
        }
        const std::size_t nameEnd = xml.find_first_of(" />", pos);
        element.name = std::string(xml.substr(pos, nameEnd - pos));
        pos = nameEnd;
        while (pos < xml.size()) {
            while (xml[pos] == ' ' || xml[pos] == '\n')
                ++pos;
            if (xml[pos] == '>') {
                ++pos;
                break;
            }
            if (xml.substr(pos, 2) == "/>") {
                element.kind = Element::Empty;
                pos += 2;
                break;
            }
            const std::size_t equals = xml.find('=', pos);
            const std::string name(xml.substr(pos, equals - pos));
            const char quote = xml[equals + 1];
            const std::size_t close = xml.find(quote, equals + 2);
            std::string value = decodeXmlEntities(xml.substr(equals + 2, close - equals - 2));
            element.attributes.emplace_back(name, latin1 ? latin1ToUtf8(value) : value);
            pos = close + 1;
        }
        elements.push_back(std::move(element));
    }
    return elements;
}

// A start tag straight followed by its end tag is the same as an empty element.
std::vector<Element> collapseEmpty(const std::vector<Element>& elements)
{
    std::vector<Element> out;
    for (const Element& e : elements) {
        if (e.kind == Element::End && !out.empty() && out.back().kind == Element::Start &&
            out.back().name == e.name)
            out.back().kind = Element::Empty;
        else
            out.push_back(e);
    }
    return out;
}

// Names the first element that differs rather than printing both lists.
void expectSameElements(std::vector<Element> decoded, std::vector<Element> expected)
{
    decoded = collapseEmpty(decoded);
    expected = collapseEmpty(expected);
    const std::size_t common = std::min(decoded.size(), expected.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (!(decoded[i] == expected[i])) {
            ADD_FAILURE() << "element " << i << " decodes as " << testing::PrintToString(decoded[i])
                          << ", expected " << testing::PrintToString(expected[i]);
            return;
        }
    }
    EXPECT_EQ(decoded.size(), expected.size());
}

std::string macFromPush(const std::string& push)
{
    const auto text = provisioning::hex::decode(push.substr(18, 80));
    std::string mac(text.begin(), text.end());
    for (char& c : mac)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return mac;
}

std::string opensslMac(const std::string& pin, const std::filesystem::path& file)
{
    const std::string key = provisioning::hex::encode(
        std::span(reinterpret_cast<const std::uint8_t*>(pin.data()), pin.size()));
    const CommandResult result =
        run("openssl dgst -sha1 -mac HMAC -macopt hexkey:" + key + " " + quoted(file));
    EXPECT_EQ(result.status, 0) << result.output;
    const std::size_t equals = result.output.rfind("= ");
    if (equals == std::string::npos)
        return {};
    std::string mac = result.output.substr(equals + 2);
    while (!mac.empty() && (mac.back() == '\n' || mac.back() == '\r'))
        mac.pop_back();
    return mac;
}

class PeerCheck : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tables.load(MAILVANE_TOKEN_TABLE_PATH));
        ASSERT_EQ(run("command -v wbxml2xml").status, 0) << "wbxml2xml (libwbxml2-utils) missing";
        ASSERT_EQ(run("command -v openssl").status, 0) << "openssl missing";
    }

    // Builds the push for `record`, has libwbxml decode its WBXML and openssl
    // check its MAC, and reassembles it from its messages.
    void checkPush(const settings::EmailSettings& record, const std::string& pin)
    {
        const auto document = provisioning::buildDocument(record);
        ASSERT_TRUE(document.has_value());
        const auto push = provisioning::encodeProvisioningPush(m_tables, *document,
                                                               provisioning::userPinSecurity(pin));
        ASSERT_TRUE(push.has_value()) << *document;
        ASSERT_LE(push->size(), provisioning::MaxPushDigits);
        ASSERT_EQ(push->substr(0, 18), "01062F1F2DB6918192");
        const std::string wbxmlHex = push->substr(100);
        const auto wbxml = provisioning::hex::decode(wbxmlHex);
        writeBytes(m_dir / "push.wbxml", wbxml);

        const CommandResult decoded = run("wbxml2xml -l PROV10 -o " + quoted(m_dir / "push.xml") +
                                          " " + quoted(m_dir / "push.wbxml"));
        ASSERT_EQ(decoded.status, 0) << decoded.output << "\n" << wbxmlHex;
        std::vector<Element> expected = {
            {Element::Start, "wap-provisioningdoc", {{"version", "1.0"}}}};
        for (Element& e : parseElements(*document, true))
            expected.push_back(std::move(e));
        expected.push_back({Element::End, "wap-provisioningdoc", {}});
        expectSameElements(parseElements(readFile(m_dir / "push.xml"), false), expected);

        EXPECT_EQ(opensslMac(pin, m_dir / "push.wbxml"), macFromPush(*push));

        provisioning::MessageSegmenter segmenter;
        segmenter.countMessages(*push);
        std::vector<std::uint8_t> joined;
        for (unsigned i = 0; i < segmenter.messageCount(); ++i) {
            const auto segment = segmenter.cutSegment(*push, i);
            ASSERT_TRUE(segment.has_value());
            EXPECT_LE(segment->size(), segmenter.messageCount() == 1 ? 133u : 128u);
            joined.insert(joined.end(), segment->begin(), segment->end());
        }
        EXPECT_EQ(joined, provisioning::hex::decode(*push));
    }

    TokenTables m_tables;
    test::TempDir m_dir;
};

} // namespace

TEST_F(PeerCheck, realisticRecordsDecodeToTheirDocuments)
{
    for (const auto& [name, record] : test::realisticRecords()) {
        SCOPED_TRACE(name);
        checkPush(record, "1234");
    }
}

TEST_F(PeerCheck, maximalRecordsDecodeToTheirDocuments)
{
    const std::string highBytes = "\x80\xa0\xe9\xff\xc3\xa9";
    for (const std::string fill : {"abcdefghijklmnopqrstuvwxyz", "\"&<>", highBytes.c_str()}) {
        SCOPED_TRACE(fill);
        checkPush(test::maximalRecord(fill), "9876543210");
    }
}

TEST_F(PeerCheck, generatedRecordsDecodeToTheirDocuments)
{
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        checkPush(test::generatedRecord(seed), std::to_string(seed * 7919u % 100000u));
    }
}

TEST_F(PeerCheck, macMatchesOpensslForPinsOfEveryLength)
{
    const settings::EmailSettings record = test::realisticRecords().front().record;
    for (const std::size_t length : {1u, 10u, 63u, 64u, 65u, 100u}) {
        SCOPED_TRACE(length);
        std::string pin;
        for (std::size_t i = 0; i < length; ++i)
            pin.push_back(static_cast<char>('0' + (i * 3 + 1) % 10));
        checkPush(record, pin);
    }
}

// Every entry of table.dat used once, in the place its token belongs to, must
// decode under libwbxml to the name it was looked up with.
TEST_F(PeerCheck, everyTableEntryDecodesToItsName)
{
    std::ifstream table(MAILVANE_TOKEN_TABLE_PATH);
    std::string line;
    std::string document;
    int entries = 0;
    while (std::getline(table, line)) {
        const auto entry = provisioning::parseTokenTableLine(line);
        if (!entry || entry->name == "characteristic" || entry->name == "parm" ||
            entry->name == "/characteristic" || entry->name == "value")
            continue;
        ++entries;
        const int first = provisioning::hex::digitValue(entry->token[0]);
        if (first >= 8) // an attribute value
            document += "<parm name=\"NAME\" value=\"" + entry->name + "\"/>\n";
        else if (first == 5 && entry->token.size() == 2) // type="..."
            document += "<characteristic type=\"" + entry->name + "\">\n</characteristic>\n";
        else // name="..."
            document += "<parm name=\"" + entry->name + "\" value=\"v\"/>\n";
    }
    ASSERT_GT(entries, 100);
    const auto wbxml = provisioning::wbxml::encode(document, m_tables);
    ASSERT_TRUE(wbxml.has_value());
    writeBytes(m_dir / "table.wbxml", provisioning::hex::decode(*wbxml));
    const CommandResult decoded = run("wbxml2xml -l PROV10 -o " + quoted(m_dir / "table.xml") +
                                      " " + quoted(m_dir / "table.wbxml"));
    ASSERT_EQ(decoded.status, 0) << decoded.output;
    std::vector<Element> expected = {{Element::Start, "wap-provisioningdoc", {{"version", "1.0"}}}};
    for (Element& e : parseElements(document, true))
        expected.push_back(std::move(e));
    expected.push_back({Element::End, "wap-provisioningdoc", {}});
    expectSameElements(parseElements(readFile(m_dir / "table.xml"), false), expected);
}

// tshark's WSP dissector names the security method and the MAC of each push:
// the pushes go to it as UDP datagrams to the WAP push port.
TEST_F(PeerCheck, tsharkReadsTheSecurityMethodAndMacOfEachPush)
{
    ASSERT_EQ(run("command -v tshark && command -v text2pcap").status, 0)
        << "tshark missing (scripts/setup installs it)";
    const auto document = provisioning::buildDocument(test::realisticRecords().front().record);
    ASSERT_TRUE(document.has_value());
    struct Case
    {
        provisioning::PushSecurity security;
        const char* shown;
    };
    const Case cases[] = {
        {provisioning::userPinSecurity("1234"), "SEC: USERPIN (0x01)"},
        {*provisioning::networkPinSecurity("262011234567890"), "SEC: NETWPIN (0x00)"},
        {*provisioning::userNetworkPinSecurity("262011234567890", "1234"),
         "SEC: USERNETWPIN (0x02)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        const auto push = provisioning::encodeProvisioningPush(m_tables, *document, c.security);
        ASSERT_TRUE(push.has_value());
        // text2pcap's hex dump: an offset, then the bytes.
        std::ofstream dump(m_dir / "push.txt");
        const auto bytes = provisioning::hex::decode(*push);
        for (std::size_t at = 0; at < bytes.size(); at += 16) {
            char offset[24];
            std::snprintf(offset, sizeof offset, "%06zx", at);
            dump << offset;
            for (std::size_t i = at; i < std::min(at + 16, bytes.size()); ++i) {
                char byte[4];
                std::snprintf(byte, sizeof byte, " %02x", bytes[i]);
                dump << byte;
            }
            dump << "\n";
        }
        dump.close();
        const CommandResult pcap = run("text2pcap -q -u 2948,2948 " + quoted(m_dir / "push.txt") +
                                       " " + quoted(m_dir / "push.pcap"));
        ASSERT_EQ(pcap.status, 0) << pcap.output;
        const CommandResult decoded = run("tshark -r " + quoted(m_dir / "push.pcap") + " -V");
        ASSERT_EQ(decoded.status, 0) << decoded.output;
        EXPECT_NE(decoded.output.find("Content-Type: application/vnd.wap.connectivity-wbxml"),
                  std::string::npos)
            << decoded.output;
        EXPECT_NE(decoded.output.find(c.shown), std::string::npos) << decoded.output;
        std::string mac = macFromPush(*push);
        for (char& digit : mac)
            digit = static_cast<char>(std::toupper(static_cast<unsigned char>(digit)));
        EXPECT_NE(decoded.output.find("MAC: " + mac), std::string::npos) << decoded.output;
    }
}
