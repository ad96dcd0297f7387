#include "SampleRecords.h"

#include <random>

namespace mailvane::test {
namespace {

using settings::ConnectionSettings;
using settings::EmailSettings;
namespace values = settings::values;

std::string filled(std::size_t length, const std::string& fill)
{
    std::string text;
    for (std::size_t i = 0; i < length; ++i)
        text.push_back(fill[i % fill.size()]);
    return text;
}

void fillGroup(ConnectionSettings& group, const std::string& fill)
{
    group.proxies = values::Yes;
    group.primaryProxy = filled(100, fill);
    group.secondaryProxy = filled(100, fill);
    group.primaryProxyPort = "65535";
    group.secondaryProxyPort = "65534";
    group.bearerAuthenticationType = values::Secure;
    group.bearerUsername = filled(45, fill);
    group.bearerPassword = filled(20, fill);
    group.gprsAccessPoint = filled(100, fill);
    group.gsmDialUpNumber = filled(20, "0123456789");
    group.gsmDataCallType = values::Analog;
    group.gsmDataCallSpeed = "Auto Bauding";
}

// One field's worth of random text.
class TextGenerator
{
public:
    explicit TextGenerator(std::uint32_t seed) : m_random(seed) {}

    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }

    settings::TextField text(std::size_t limit)
    {
        switch (pick(6)) {
        case 0:
            return std::nullopt;
        case 1:
            return std::string{};
        case 2: {
            // Values that are names in the token table or look like markup.
            static const char* const Words[] = {
                "parm",  "NAME", "characteristic", "GSM-CSD", "E164",    "/characteristic",
                "&amp;", "\"",   "value",          "APPID",   "<parm/>", "0"};
            return std::string(Words[pick(std::size(Words))]).substr(0, limit);
        }
        default: {
            const std::size_t length = 1 + static_cast<std::size_t>(pick(static_cast<int>(limit)));
            std::string value;
            for (std::size_t i = 0; i < length; ++i)
                value.push_back(character());
            return value;
        }
        }
    }

    template <typename T> std::optional<T> choice()
    {
        const int which = pick(3);
        if (which == 2)
            return std::nullopt;
        return static_cast<T>(which);
    }

private:
    char character()
    {
        static const std::string Plain = "abcXYZ019 .@-_:/\"&<>'=;#";
        if (pick(5) == 0)
            return static_cast<char>(0x80 + pick(0x80)); // Latin-1 above ASCII
        return Plain[static_cast<std::size_t>(pick(static_cast<int>(Plain.size())))];
    }

    std::mt19937 m_random;
};

void generateGroup(ConnectionSettings& group, TextGenerator& gen)
{
    group.proxies = gen.choice<std::uint8_t>();
    group.primaryProxy = gen.text(100);
    group.secondaryProxy = gen.text(100);
    group.primaryProxyPort = gen.text(5);
    group.secondaryProxyPort = gen.text(5);
    group.dataBearer = gen.choice<std::int32_t>();
    group.bearerAuthenticationType = gen.choice<std::int32_t>();
    group.bearerUsername = gen.text(45);
    group.bearerPassword = gen.text(20);
    group.gprsAccessPoint = gen.text(100);
    group.gsmDialUpNumber = gen.text(20);
    group.gsmDataCallType = gen.choice<std::int32_t>();
    static const char* const Speeds[] = {"Auto Bauding", "9600", "14400"};
    if (gen.pick(2) == 0)
        group.gsmDataCallSpeed = Speeds[gen.pick(3)];
}

} // namespace

std::vector<NamedRecord> realisticRecords()
{
    std::vector<NamedRecord> records;

    EmailSettings imap;
    imap.resetToDefaults();
    imap.mailbox = "Office";
    imap.emailAddress = "jane.doe@example.com";
    imap.outgoingServer = "smtp.example.com";
    imap.outgoingPort = "587";
    imap.incomingServer = "imap.example.com";
    imap.incomingServerUsername = "jane.doe";
    imap.incomingServerPassword = "s3cr\"t&<pw>";
    imap.smtpAuthorization = values::Yes;
    imap.smtpUsername = "jane.doe";
    imap.smtpPassword = "s3cr\"t&<pw>";
    imap.replyToAddress = "Jane Doe <jane@example.com>";
    imap.retrieveEmails = "50";
    imap.retrieveMethod = values::LatestUnread;
    for (ConnectionSettings* group : {&imap.incoming, &imap.outgoing}) {
        group->proxies = values::No;
        group->dataBearer = values::Gprs;
        group->gprsAccessPoint = "internet.operator.net";
        group->bearerAuthenticationType = values::Normal;
        group->bearerUsername = "wap";
        group->bearerPassword = "wap";
    }
    records.push_back({"imap4OverGprs", imap});

    EmailSettings pop;
    pop.resetToDefaults();
    pop.incomingServerType = values::Pop3;
    pop.incomingPort = "110";
    pop.mailbox = "Caf\xe9 M\xfcller";
    pop.emailAddress = "info@cafe-mueller.de";
    pop.outgoingServer = "mail.cafe-mueller.de";
    pop.incomingServer = "pop.cafe-mueller.de";
    pop.incomingServerUsername = "info";
    pop.incomingServerPassword = "parm";
    pop.secureLogin = values::Yes;
    pop.smtpAuthorization = values::No;
    pop.retrieveEmails = "10";
    for (ConnectionSettings* group : {&pop.incoming, &pop.outgoing}) {
        group->proxies = values::Yes;
        group->primaryProxy = "10.11.12.13";
        group->primaryProxyPort = "8080";
        group->secondaryProxy = "proxy2.operator.net";
        group->dataBearer = values::GsmData;
        group->gsmDialUpNumber = "+491712345678";
        group->gsmDataCallSpeed = "9600";
        group->bearerAuthenticationType = values::Secure;
        group->bearerPassword = "NAME";
    }
    pop.incoming.gsmDataCallType = values::Analog;
    pop.outgoing.gsmDataCallType = values::Isdn;
    records.push_back({"pop3OverGsmDataWithProxies", pop});

    EmailSettings outgoingOnly;
    outgoingOnly.resetToDefaults();
    outgoingOnly.incomingPort = "";
    outgoingOnly.outgoingServer = "smtp.example.org";
    outgoingOnly.emailAddress = "sender@example.org";
    outgoingOnly.smtpAuthorization = values::Yes;
    outgoingOnly.smtpUsername = "sender";
    outgoingOnly.smtpPassword = "GSM-CSD";
    records.push_back({"outgoingOnly", outgoingOnly});

    return records;
}

EmailSettings maximalRecord(const std::string& fill)
{
    EmailSettings record;
    record.mailbox = filled(50, fill);
    record.emailAddress = filled(80, fill);
    record.outgoingServer = filled(80, fill);
    record.incomingServer = filled(80, fill);
    record.incomingServerType = values::Imap4;
    record.incomingServerUsername = filled(50, fill);
    record.incomingServerPassword = filled(50, fill);
    record.smtpAuthorization = values::Yes;
    record.secureLogin = values::Yes;
    record.smtpUsername = filled(50, fill);
    record.smtpPassword = filled(50, fill);
    record.outgoingPort = "65535";
    record.incomingPort = "65535";
    record.replyToAddress = filled(80, fill);
    record.retrieveEmails = "9999";
    record.retrieveMethod = values::LatestUnread;
    fillGroup(record.outgoing, fill);
    record.outgoing.dataBearer = values::Gprs;
    fillGroup(record.incoming, fill);
    record.incoming.dataBearer = values::GsmData;
    return record;
}

EmailSettings generatedRecord(std::uint32_t seed)
{
    TextGenerator gen(seed);
    EmailSettings record;
    record.mailbox = gen.text(50);
    record.emailAddress = gen.text(80);
    record.outgoingServer = gen.text(80);
    record.incomingServer = gen.text(80);
    record.incomingServerType = gen.choice<std::int32_t>();
    record.incomingServerUsername = gen.text(50);
    record.incomingServerPassword = gen.text(50);
    record.smtpAuthorization = gen.choice<std::uint8_t>();
    record.secureLogin = gen.choice<std::uint8_t>();
    record.smtpUsername = gen.text(50);
    record.smtpPassword = gen.text(50);
    record.outgoingPort = gen.text(5);
    record.incomingPort = gen.text(5);
    record.replyToAddress = gen.text(80);
    record.retrieveEmails = gen.text(4);
    record.retrieveMethod = gen.choice<std::int32_t>();
    generateGroup(record.outgoing, gen);
    generateGroup(record.incoming, gen);
    return record;
}

} // namespace mailvane::test
