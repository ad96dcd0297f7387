#include "DocumentBuilder.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mailvane::provisioning {
namespace {

using settings::ConnectionSettings;
using settings::EmailSettings;
using settings::isNonEmpty;
using settings::TextField;
namespace values = settings::values;

// Ids that tie the proxy and application sections to one direction's access
// points and proxies.
struct DirectionIds
{
    const char* csdNapId;
    const char* gprsNapId;
    const char* primaryProxyId;
    const char* secondaryProxyId;
    const char* primaryProxyName;
    const char* secondaryProxyName;
};

constexpr DirectionIds OutgoingIds = {"SMTP_CSD_NAPDEF",    "SMTP_GPRS_NAPDEF",
                                      "PRIMARY_SMTP_PROXY", "SECONDARY_SMTP_PROXY",
                                      "Primary SMTP Proxy", "Secondary SMTP Proxy"};
// The two incoming proxy names really differ in case; receivers show them as sent.
constexpr DirectionIds IncomingIds = {"IN_CSD_NAPDEF",    "IN_GPRS_NAPDEF",
                                      "PRIMARY_IN_PROXY", "SECONDARY_IN_PROXY",
                                      "Primary IN Proxy", "Secondary In Proxy"};

// Writes the document's lines; only field values pass through escaping, the
// fixed words are known to need none.
class DocumentWriter
{
public:
    DocumentWriter() { m_text.reserve(MaxDocumentLength + 1); }

    void open(int indent, std::string_view type)
    {
        m_text.append(static_cast<std::size_t>(indent), ' ');
        m_text += "<characteristic type=\"";
        m_text += type;
        m_text += "\">\n";
    }

    void close(int indent)
    {
        m_text.append(static_cast<std::size_t>(indent), ' ');
        m_text += "</characteristic>\n";
    }

    void parm(int indent, std::string_view name, std::string_view value)
    {
        m_text.append(static_cast<std::size_t>(indent), ' ');
        m_text += "<parm name=\"";
        m_text += name;
        m_text += "\" value=\"";
        m_entityGrowth += appendEscaped(m_text, value);
        m_text += "\"/>\n";
    }

    // A parm holding the field's value, when the field is non-empty.
    void parmIfNonEmpty(int indent, std::string_view name, const TextField& field)
    {
        if (isNonEmpty(field))
            parm(indent, name, *field);
    }

    // The length the document has with its values written plainly.
    std::size_t plainLength() const { return m_text.size() - m_entityGrowth; }
    std::string take() { return std::move(m_text); }

private:
    std::string m_text;
    std::size_t m_entityGrowth = 0;
};

bool isYes(const settings::FlagField& flag)
{
    return flag.has_value() && *flag == values::Yes;
}

bool isGsmData(const settings::ChoiceField& bearer)
{
    return bearer.has_value() && *bearer == values::GsmData;
}

void writeBootstrap(DocumentWriter& out, const EmailSettings& record)
{
    if (!isNonEmpty(record.mailbox))
        return;
    out.open(0, "BOOTSTRAP");
    out.parm(2, "NAME", *record.mailbox);
    out.close(0);
}

void writeProxy(DocumentWriter& out, const ConnectionSettings& group, const DirectionIds& ids,
                bool primary)
{
    const TextField& address = primary ? group.primaryProxy : group.secondaryProxy;
    if (!isNonEmpty(address))
        return;
    const TextField& port = primary ? group.primaryProxyPort : group.secondaryProxyPort;
    out.open(0, "PXLOGICAL");
    out.parm(2, "PROXY-ID", primary ? ids.primaryProxyId : ids.secondaryProxyId);
    out.parm(2, "NAME", primary ? ids.primaryProxyName : ids.secondaryProxyName);
    if (isNonEmpty(port)) {
        out.open(2, "PORT");
        out.parm(4, "PORTNBR", *port);
        out.close(2);
    }
    out.open(2, "PXPHYSICAL");
    out.parm(4, "PHYSICAL-PROXY-ID", primary ? "pid" : "sid");
    out.parm(2, "PXADDR", *address);
    if (group.dataBearer.has_value())
        out.parm(4, "TO-NAPID", isGsmData(group.dataBearer) ? ids.csdNapId : ids.gprsNapId);
    out.close(2);
    out.close(0);
}

void writeProxies(DocumentWriter& out, const ConnectionSettings& group, const DirectionIds& ids)
{
    if (!isYes(group.proxies))
        return;
    writeProxy(out, group, ids, true);
    writeProxy(out, group, ids, false);
}

// `analogCallType` is whether an Analog call type gets a CALLTYPE line: the
// outgoing access point leaves it out, the incoming one writes ANALOG-MODEM.
void writeAccessPoint(DocumentWriter& out, const ConnectionSettings& group, const DirectionIds& ids,
                      bool analogCallType)
{
    if (!group.dataBearer.has_value())
        return;
    const bool gsm = isGsmData(group.dataBearer);
    out.open(0, "NAPDEF");
    out.parm(2, "NAPID", gsm ? ids.csdNapId : ids.gprsNapId);
    out.parm(2, "BEARER", gsm ? "GSM-CSD" : "GSM-GPRS");
    out.parm(2, "NAME", "napname");
    const TextField& address = gsm ? group.gsmDialUpNumber : group.gprsAccessPoint;
    if (isNonEmpty(address)) {
        out.parm(2, "NAP-ADDRESS", *address);
        out.parm(2, "NAP-ADDRTYPE", gsm ? "E164" : "APN");
    }
    if (gsm && group.gsmDataCallType.has_value()) {
        if (*group.gsmDataCallType == values::Isdn)
            out.parm(4, "CALLTYPE", "V.110");
        else if (analogCallType)
            out.parm(4, "CALLTYPE", "ANALOG-MODEM");
    }
    if (gsm)
        out.parmIfNonEmpty(4, "LINKSPEED", group.gsmDataCallSpeed);
    if (group.bearerAuthenticationType.has_value() || isNonEmpty(group.bearerUsername) ||
        isNonEmpty(group.bearerPassword)) {
        out.open(2, "NAPAUTHINFO");
        out.parmIfNonEmpty(4, "AUTHNAME", group.bearerUsername);
        if (group.bearerAuthenticationType.has_value())
            out.parm(4, "AUTHTYPE",
                     *group.bearerAuthenticationType == values::Secure ? "CHAP" : "PAP");
        out.parmIfNonEmpty(4, "AUTHSECRET", group.bearerPassword);
        out.close(2);
    }
    out.close(0);
}

// The APPADDR group and the links to the direction's access point and proxies,
// which both application sections share.
void writeAddressAndLinks(DocumentWriter& out, const TextField& server, const TextField& port,
                          const ConnectionSettings& group, const DirectionIds& ids)
{
    if (isNonEmpty(server) || isNonEmpty(port)) {
        out.open(2, "APPADDR");
        out.parmIfNonEmpty(4, "ADDR", server);
        if (isNonEmpty(port)) {
            out.open(4, "PORT");
            out.parm(6, "PORTNBR", *port);
            out.close(4);
        }
        out.close(2);
    }
    if (group.dataBearer.has_value())
        out.parm(2, "TO-NAPID", isGsmData(group.dataBearer) ? ids.csdNapId : ids.gprsNapId);
    if (isYes(group.proxies)) {
        if (isNonEmpty(group.primaryProxy))
            out.parm(2, "TO-PROXY", ids.primaryProxyId);
        if (isNonEmpty(group.secondaryProxy))
            out.parm(2, "TO-PROXY", ids.secondaryProxyId);
    }
}

void writeOutgoingApplication(DocumentWriter& out, const EmailSettings& record)
{
    out.open(0, "APPLICATION");
    out.parm(2, "APPID", "25");
    out.parmIfNonEmpty(2, "FROM", record.emailAddress);
    writeAddressAndLinks(out, record.outgoingServer, record.outgoingPort, record.outgoing,
                         OutgoingIds);
    out.parmIfNonEmpty(2, "NAME", record.mailbox);
    // Opens as soon as the flag is set, even at No with nothing to hold.
    if (record.smtpAuthorization.has_value() || isNonEmpty(record.smtpUsername) ||
        isNonEmpty(record.smtpPassword)) {
        out.open(2, "APPAUTH");
        if (isYes(record.smtpAuthorization))
            out.parm(4, "AAUTHTYPE", "LOGIN");
        out.parmIfNonEmpty(4, "AAUTHNAME", record.smtpUsername);
        out.parmIfNonEmpty(4, "AAUTHSECRET", record.smtpPassword);
        out.close(2);
    }
    out.parmIfNonEmpty(2, "REPLY-TO-ADDRESS", record.replyToAddress);
    out.close(0);
}

void writeIncomingApplication(DocumentWriter& out, const EmailSettings& record)
{
    const bool imap4 = record.incomingServerType.value_or(values::Imap4) != values::Pop3;
    out.open(0, "APPLICATION");
    out.parm(2, "APPID", imap4 ? "143" : "110");
    writeAddressAndLinks(out, record.incomingServer, record.incomingPort, record.incoming,
                         IncomingIds);
    if (isNonEmpty(record.incomingServerUsername) || isNonEmpty(record.incomingServerPassword)) {
        out.open(2, "APPAUTH");
        if (isYes(record.secureLogin))
            out.parm(4, "AAUTHTYPE", "APOP");
        out.parmIfNonEmpty(4, "AAUTHNAME", record.incomingServerUsername);
        out.parmIfNonEmpty(4, "AAUTHSECRET", record.incomingServerPassword);
        out.close(2);
    }
    if (imap4 && record.retrieveMethod.has_value())
        out.parm(2, "RETRIEVE-METHOD",
                 *record.retrieveMethod == values::LatestUnread ? "LATEST-UNREAD" : "LATEST");
    out.parmIfNonEmpty(2, "MAIL-TO-RETRIEVE", record.retrieveEmails);
    out.close(0);
}

} // namespace

std::size_t appendEscaped(std::string& out, std::string_view value)
{
    const std::size_t start = out.size();
    std::size_t plainFrom = 0;
    std::size_t i = 0;
    while (i < value.size()) {
#if defined(__SSE2__)
        // Most values hold none of the four: pass over sixteen at a time.
        if (value.size() - i >= 16) {
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(value.data() + i));
            const __m128i special =
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(c, _mm_set1_epi8('&')),
                                          _mm_cmpeq_epi8(c, _mm_set1_epi8('"'))),
                             _mm_or_si128(_mm_cmpeq_epi8(c, _mm_set1_epi8('<')),
                                          _mm_cmpeq_epi8(c, _mm_set1_epi8('>'))));
            const int mask = _mm_movemask_epi8(special);
            if (mask == 0) {
                i += 16;
                continue;
            }
            i += static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask)));
        }
#endif
        const char c = value[i];
        if (c != '&' && c != '"' && c != '<' && c != '>') {
            ++i;
            continue;
        }
        out.append(value.substr(plainFrom, i - plainFrom));
        plainFrom = ++i;
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '<':
            out += "&lt;";
            break;
        default:
            out += "&gt;";
            break;
        }
    }
    out.append(value.substr(plainFrom));
    return out.size() - start - value.size();
}

std::optional<std::string> buildDocument(const settings::EmailSettings& record)
{
    DocumentWriter out;
    writeBootstrap(out, record);
    writeProxies(out, record.outgoing, OutgoingIds);
    writeProxies(out, record.incoming, IncomingIds);
    writeAccessPoint(out, record.outgoing, OutgoingIds, false);
    writeAccessPoint(out, record.incoming, IncomingIds, true);
    writeOutgoingApplication(out, record);
    writeIncomingApplication(out, record);
    // The limit holds for the document as its values are, so that escaping
    // never refuses a record; every section is part of the document.
    if (out.plainLength() > MaxDocumentLength)
        return std::nullopt;
    std::string document = out.take();
    return document;
}

} // namespace mailvane::provisioning
