#include "GatewayAddress.h"

#include "SendsmsCodec.h"
#include "UrlRedaction.h"

#include <algorithm>
#include <array>
#include <curl/curl.h>
#include <memory>
#include <span>

namespace mailvane::phone {
namespace {

// Parameters each message sets itself; a URL that sets them would send
// something else than the push.
constexpr std::array<std::string_view, 4> MessageParameters = {"to", "text", "udh", "coding"};
// Kannel takes the credentials under either name.
constexpr std::array<std::string_view, 2> UserParameters = {"username", "user"};
constexpr std::array<std::string_view, 2> PasswordParameters = {"password", "pass"};

struct UrlDeleter
{
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

// A part of the URL, decoded or as written; empty when absent.
std::string urlPart(CURLU* url, CURLUPart part, unsigned flags = 0)
{
    char* text = nullptr;
    if (curl_url_get(url, part, &text, flags) != CURLUE_OK || !text)
        return {};
    std::string value(text);
    curl_free(text);
    return value;
}

bool isOneOf(std::string_view name, std::span<const std::string_view> names)
{
    return std::ranges::find(names, name) != names.end();
}

GatewayAddressResult refused(std::string error)
{
    return {std::nullopt, std::move(error)};
}

} // namespace

GatewayAddressResult parseGatewayAddress(std::string_view text)
{
    const UrlHandle url(curl_url());
    if (!url)
        return refused("out of memory");
    const std::string given(text);
    if (curl_url_set(url.get(), CURLUPART_URL, given.c_str(), 0) != CURLUE_OK)
        return refused("'" + redactedUrl(given) +
                       "' is not a URL such as http://127.0.0.1:13013/cgi-bin/sendsms");
    const std::string scheme = urlPart(url.get(), CURLUPART_SCHEME);
    if (scheme != "http" && scheme != "https")
        return refused("the gateway URL must start with http:// or https://");
    if (urlPart(url.get(), CURLUPART_HOST).empty())
        return refused("the gateway URL names no host");

    GatewayAddress address;
    address.username = urlPart(url.get(), CURLUPART_USER, CURLU_URLDECODE);
    address.password = urlPart(url.get(), CURLUPART_PASSWORD, CURLU_URLDECODE);
    const bool credentialsInUserPart = !address.username.empty() || !address.password.empty();

    bool senderGiven = false;
    const std::string query = urlPart(url.get(), CURLUPART_QUERY);
    for (std::size_t start = 0; start <= query.size() && !query.empty();) {
        std::size_t end = query.find('&', start);
        if (end == std::string::npos)
            end = query.size();
        const std::string_view item = std::string_view(query).substr(start, end - start);
        start = end + 1;
        if (item.empty())
            continue;
        const std::size_t equals = item.find('=');
        std::string name = formDecoded(item.substr(0, equals));
        std::string value =
            equals == std::string_view::npos ? std::string() : formDecoded(item.substr(equals + 1));
        if (isOneOf(name, MessageParameters))
            return refused("the gateway URL must not set '" + name +
                           "': each message sets it itself");
        const bool isUser = isOneOf(name, UserParameters);
        if (isUser || isOneOf(name, PasswordParameters)) {
            if (credentialsInUserPart)
                return refused("the gateway URL gives the user name or password twice");
            (isUser ? address.username : address.password) = std::move(value);
            continue;
        }
        senderGiven = senderGiven || name == "from";
        address.parameters.emplace_back(std::move(name), std::move(value));
    }
    if (!senderGiven)
        address.parameters.emplace_back("from", std::string(DefaultGatewaySender));

    // What remains names the gateway in messages, so it must not carry the password.
    curl_url_set(url.get(), CURLUPART_USER, nullptr, 0);
    curl_url_set(url.get(), CURLUPART_PASSWORD, nullptr, 0);
    curl_url_set(url.get(), CURLUPART_OPTIONS, nullptr, 0);
    curl_url_set(url.get(), CURLUPART_QUERY, nullptr, 0);
    curl_url_set(url.get(), CURLUPART_FRAGMENT, nullptr, 0);
    address.endpoint = urlPart(url.get(), CURLUPART_URL);
    return {std::move(address), {}};
}

} // namespace mailvane::phone
