#include "SendsmsCodec.h"

#include "DeliveryReport.h"
#include "PlainText.h"

namespace mailvane::phone {
namespace {

using platform::trimmed;

constexpr std::string_view UpperHexDigits = "0123456789ABCDEF";
constexpr long HttpAccepted = 202;
constexpr std::string_view AcceptedPrefixes[] = {"0:", "3:"};
// Enough for any of smsbox's answers; a stranger server's page is cut here.
constexpr std::size_t MaxAnswerText = 200;

bool isUnreserved(std::uint8_t byte)
{
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

void appendParameter(std::string& out, std::string_view name, std::string_view value)
{
    appendPercentEncoded(out, name);
    out += '=';
    appendPercentEncoded(out, value);
    out += '&';
}

} // namespace

void appendPercentEncoded(std::string& out, std::span<const std::uint8_t> bytes)
{
    for (const std::uint8_t byte : bytes) {
        if (isUnreserved(byte)) {
            out += static_cast<char>(byte);
        } else {
            out += '%';
            out += UpperHexDigits[byte >> 4];
            out += UpperHexDigits[byte & 0x0F];
        }
    }
}

void appendPercentEncoded(std::string& out, std::string_view text)
{
    appendPercentEncoded(
        out, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::string formDecoded(std::string_view text)
{
    return platform::percentDecoded(text, true);
}

std::string sendsmsCommonQuery(const GatewayAddress& address)
{
    std::string query;
    if (!address.username.empty())
        appendParameter(query, "username", address.username);
    if (!address.password.empty())
        appendParameter(query, "password", address.password);
    for (const auto& [name, value] : address.parameters)
        appendParameter(query, name, value);
    return query;
}

std::string sendsmsUrl(const GatewayAddress& address, std::string_view commonQuery,
                       const OutgoingMessage& message)
{
    std::string url;
    // Three characters per byte at worst.
    url.reserve(address.endpoint.size() + commonQuery.size() + 40 + message.recipient.size() * 3 +
                (message.userDataHeader.size() + message.userData.size()) * 3);
    url += address.endpoint;
    url += '?';
    url += commonQuery;
    url += "to=";
    appendPercentEncoded(url, message.recipient);
    url += "&udh=";
    appendPercentEncoded(url, message.userDataHeader);
    url += "&text=";
    appendPercentEncoded(url, message.userData);
    url += "&coding=";
    url += SendsmsCoding8Bit;
    if (!message.reportUrl.empty()) {
        url += "&dlr-mask=" + std::to_string(ReportMask) + "&dlr-url=";
        appendPercentEncoded(url, message.reportUrl);
    }
    return url;
}

GatewayAnswer readSendsmsAnswer(long httpStatus, std::string_view body)
{
    GatewayAnswer answer;
    answer.httpStatus = httpStatus;
    // One line for logs and messages: control characters become blanks.
    answer.text = std::string(trimmed(body).substr(0, MaxAnswerText));
    for (char& c : answer.text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    }
    if (answer.text.empty())
        answer.text = "no text in the answer";
    answer.verdict = GatewayAnswer::Verdict::Refused;
    if (httpStatus == HttpAccepted) {
        for (const std::string_view prefix : AcceptedPrefixes) {
            if (answer.text.starts_with(prefix)) {
                answer.verdict = GatewayAnswer::Verdict::Accepted;
                answer.refusal = GatewayAnswer::Refusal::None;
            }
        }
    }
    return answer;
}

std::optional<std::chrono::seconds> readRetryAfter(std::string_view value)
{
    value = trimmed(value);
    // Nine digits are over thirty years, more than anyone waits.
    if (value.empty() || value.size() > 9)
        return std::nullopt;
    long long seconds = 0;
    for (const char c : value) {
        if (c < '0' || c > '9')
            return std::nullopt;
        seconds = seconds * 10 + (c - '0');
    }
    return std::chrono::seconds(seconds);
}

} // namespace mailvane::phone
