#include "KannelGateway.h"

#include "GatewayRefusal.h"
#include "PhoneResult.h"
#include "RetryPacing.h"

#include <algorithm>
#include <optional>
#include <thread>
#include <curl/curl.h>
#include <mutex>

namespace mailvane::phone {
namespace {

// What the gateway hands out as its phone value: any non-zero value will do,
// since there is no session behind it.
constexpr PhoneValue GatewayPhoneValue = 1;
// More than any answer of smsbox; the rest of a stranger's page is dropped.
constexpr std::size_t MaxBodyBytes = 4096;

void initialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::size_t collectBody(char* data, std::size_t size, std::size_t count, void* target)
{
    auto& body = *static_cast<std::string*>(target);
    const std::size_t bytes = size * count;
    if (body.size() < MaxBodyBytes)
        body.append(data, std::min(bytes, MaxBodyBytes - body.size()));
    return bytes;
}

// Keeps the Retry-After header of the answer, if any.
std::size_t readHeader(char* data, std::size_t size, std::size_t count, void* target)
{
    constexpr std::string_view Name = "retry-after:";
    const std::size_t bytes = size * count;
    const std::string_view line(data, bytes);
    if (line.size() > Name.size() &&
        std::equal(Name.begin(), Name.end(), line.begin(),
                   [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b + 32 : b); }))
        *static_cast<std::optional<std::chrono::seconds>*>(target) =
            readRetryAfter(line.substr(Name.size()));
    return bytes;
}

} // namespace

KannelGateway::KannelGateway(GatewayAddress address, GatewayTimeouts timeouts)
    : m_address(std::move(address)), m_commonQuery(sendsmsCommonQuery(m_address)),
      m_timeouts(timeouts)
{
    initialiseCurlOnce();
}

KannelGateway::~KannelGateway()
{
    for (void* connection : m_idleConnections)
        curl_easy_cleanup(connection);
}

void* KannelGateway::takeConnection()
{
    {
        const std::lock_guard lock(m_mutex);
        if (!m_idleConnections.empty()) {
            void* connection = m_idleConnections.back();
            m_idleConnections.pop_back();
            return connection;
        }
    }
    CURL* connection = curl_easy_init();
    if (!connection)
        return nullptr;
    curl_easy_setopt(connection, CURLOPT_NOSIGNAL, 1L); // several threads send at once
    curl_easy_setopt(connection, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(m_timeouts.connect.count()));
    curl_easy_setopt(connection, CURLOPT_TIMEOUT_MS, static_cast<long>(m_timeouts.request.count()));
    curl_easy_setopt(connection, CURLOPT_WRITEFUNCTION, &collectBody);
    curl_easy_setopt(connection, CURLOPT_HEADERFUNCTION, &readHeader);
    curl_easy_setopt(connection, CURLOPT_PROTOCOLS_STR, "http,https");
    // A sendsms answer is never a redirect worth following with the password.
    curl_easy_setopt(connection, CURLOPT_FOLLOWLOCATION, 0L);
    return connection;
}

void KannelGateway::giveBack(void* connection)
{
    const std::lock_guard lock(m_mutex);
    m_idleConnections.push_back(connection);
}

GatewayAnswer KannelGateway::post(const OutgoingMessage& message)
{
    CURL* connection = takeConnection();
    if (!connection)
        return {GatewayAnswer::Verdict::Unreachable, 0, "cannot start an HTTP transfer",
                GatewayAnswer::Refusal::Gateway, std::nullopt};
    const std::string url = sendsmsUrl(m_address, m_commonQuery, message);
    std::string body;
    std::optional<std::chrono::seconds> retryAfter;
    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(connection, CURLOPT_URL, url.c_str());
    curl_easy_setopt(connection, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(connection, CURLOPT_HEADERDATA, &retryAfter);
    curl_easy_setopt(connection, CURLOPT_ERRORBUFFER, error);
    const CURLcode result = curl_easy_perform(connection);
    curl_easy_setopt(connection, CURLOPT_ERRORBUFFER, nullptr);

    if (result != CURLE_OK) {
        GatewayAnswer answer;
        answer.text = error[0] ? error : curl_easy_strerror(result);
        curl_off_t connected = 0;
        // Connected and then out of time: the request may have been taken.
        const bool silent =
            result == CURLE_OPERATION_TIMEDOUT &&
            curl_easy_getinfo(connection, CURLINFO_CONNECT_TIME_T, &connected) == CURLE_OK &&
            connected > 0;
        if (silent) {
            answer.verdict = GatewayAnswer::Verdict::Silent;
            answer.text = "no answer within " + durationText(m_timeouts.request);
        }
        answer.refusal = refusalOf(0, result, silent);
        // A connection that failed half-way is not worth keeping.
        curl_easy_cleanup(connection);
        return answer;
    }
    long status = 0;
    curl_easy_getinfo(connection, CURLINFO_RESPONSE_CODE, &status);
    giveBack(connection);
    GatewayAnswer answer = readSendsmsAnswer(status, body);
    if (!answer.accepted())
        answer.refusal = refusalOf(status, CURLE_OK);
    answer.retryAfter = retryAfter;
    return answer;
}

std::string KannelGateway::describe(const GatewayAnswer& answer) const
{
    std::string text = "gateway " + m_address.endpoint + ": " + answer.text;
    if (answer.httpStatus != 0)
        text += " (HTTP " + std::to_string(answer.httpStatus) + ")";
    return text;
}

PhoneConnection KannelGateway::connect()
{
    return {GatewayPhoneValue, {}};
}

GatewayAnswer KannelGateway::postRetrying(const OutgoingMessage& message)
{
    for (unsigned retry = 1;; ++retry) {
        GatewayAnswer answer = post(message);
        if (answer.accepted() || answer.refusal != GatewayAnswer::Refusal::Temporary ||
            retry > DefaultRetries)
            return answer;
        // One sender alone needs no jitter to keep out of step with others:
        // the middle of each step.
        std::this_thread::sleep_for(retryDelay(retry, answer.retryAfter, 0.5));
    }
}

PhoneResult KannelGateway::send(const OutgoingMessage& message)
{
    GatewayAnswer answer = postRetrying(message);
    PhoneResult result;
    switch (answer.verdict) {
    case GatewayAnswer::Verdict::Accepted:
        break;
    case GatewayAnswer::Verdict::Refused:
        result = {E_GATEWAY_REFUSED, m_address.endpoint + " answered \"" + answer.text +
                                         "\", HTTP " + std::to_string(answer.httpStatus)};
        break;
    case GatewayAnswer::Verdict::Unreachable:
        result = {E_GATEWAY_UNREACHABLE, m_address.endpoint + ": " + answer.text};
        break;
    case GatewayAnswer::Verdict::Silent:
        result = {E_GATEWAY_TIMEOUT, m_address.endpoint + ": " + answer.text};
        break;
    }
    const std::lock_guard lock(m_mutex);
    m_lastAnswer = std::move(answer);
    return result;
}

StoreContents KannelGateway::readContacts(ContactStore)
{
    return {};
}

GatewayAnswer KannelGateway::lastAnswer() const
{
    const std::lock_guard lock(m_mutex);
    return m_lastAnswer;
}

} // namespace mailvane::phone
