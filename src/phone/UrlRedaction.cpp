#include "UrlRedaction.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace mailvane::phone {
namespace {

// The names under which Kannel takes a password in the query.
constexpr std::array<std::string_view, 2> PasswordNames = {"password", "pass"};

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// A query name as the gateway reads it: %XX decoded, '+' a blank, any case.
std::string decodedName(std::string_view name)
{
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c == '+') {
            c = ' ';
        } else if (c == '%' && i + 2 < name.size() && hexDigit(name[i + 1]) >= 0 &&
                   hexDigit(name[i + 2]) >= 0) {
            c = static_cast<char>(hexDigit(name[i + 1]) * 16 + hexDigit(name[i + 2]));
            i += 2;
        }
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string redactedQuery(std::string_view query)
{
    std::string out;
    for (std::size_t start = 0; start <= query.size();) {
        std::size_t end = query.find('&', start);
        if (end == std::string_view::npos)
            end = query.size();
        const std::string_view item = query.substr(start, end - start);
        const std::size_t equals = item.find('=');
        if (equals != std::string_view::npos &&
            std::ranges::find(PasswordNames, decodedName(item.substr(0, equals))) !=
                PasswordNames.end()) {
            out.append(item.substr(0, equals + 1));
            out.append(RedactedPassword);
        } else {
            out.append(item);
        }
        if (end < query.size())
            out += '&';
        start = end + 1;
    }
    return out;
}

} // namespace

std::string redactedUrl(std::string_view url)
{
    // The user part ends at the last '@' before the query. With no '@' there,
    // an '@' further on may end a password that holds '?' or '#', so the user
    // part ends there instead (at worst a query's '@' hides the host too).
    const std::size_t queryStart = url.find_first_of("?#");
    std::size_t at = url.substr(0, queryStart).rfind('@');
    if (at == std::string_view::npos)
        at = url.rfind('@');
    const std::size_t schemeEnd = url.find("://");
    const std::size_t userStart =
        schemeEnd != std::string_view::npos && at != std::string_view::npos && schemeEnd < at
            ? schemeEnd + 3
            : 0;
    const std::size_t colon =
        at == std::string_view::npos ? std::string_view::npos : url.find(':', userStart);

    std::string out;
    std::size_t done = 0;
    if (colon != std::string_view::npos && colon < at) {
        out.append(url.substr(0, colon + 1));
        out.append(RedactedPassword);
        done = at;
    }
    const std::size_t question = url.find('?', done);
    if (question == std::string_view::npos) {
        out.append(url.substr(done));
        return out;
    }
    out.append(url.substr(done, question + 1 - done));
    const std::size_t fragment = url.find('#', question);
    out += redactedQuery(url.substr(question + 1, fragment == std::string_view::npos
                                                      ? std::string_view::npos
                                                      : fragment - question - 1));
    if (fragment != std::string_view::npos)
        out.append(url.substr(fragment));
    return out;
}

} // namespace mailvane::phone
