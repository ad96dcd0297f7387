#include "InstanceMessage.h"

#include <charconv>

namespace mailvane::app::instance_message {
namespace {

constexpr std::string_view RaiseHeader = "mailvane/1 raise";
constexpr std::string_view OpenHeader = "mailvane/1 open ";

ParseResult invalid(std::string problem)
{
    ParseResult result;
    result.status = Status::Invalid;
    result.problem = std::move(problem);
    return result;
}

bool pathCanTravel(std::string_view path)
{
    return !path.empty() && path.front() == '/' && path.size() <= MaxPathBytes &&
           path.find('\0') == std::string_view::npos;
}

bool printable(std::string_view bytes)
{
    for (const char byte : bytes) {
        if (byte < '!' || byte > '~')
            return false;
    }
    return true;
}

// Digits of a number of at most `width` digits without a leading zero, or a
// beginning of one (empty included).
bool beginsNumber(std::string_view digits, std::size_t width)
{
    return digits.size() <= width && (digits.empty() || digits.front() != '0') &&
           digits.find_first_not_of("0123456789") == std::string_view::npos;
}

// A decimal length from 1 to `limit`, without a leading zero; nothing otherwise.
std::optional<std::size_t> parseLength(std::string_view digits, std::size_t limit)
{
    if (digits.empty() || !beginsNumber(digits, std::to_string(limit).size()))
        return std::nullopt;
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value > limit)
        return std::nullopt;
    return value;
}

constexpr std::size_t PathDigits = 4;
constexpr std::size_t TokenDigits = 3;

// Whether a first line that has not ended yet may still become a header.
bool beginsHeader(std::string_view line)
{
    if (RaiseHeader.starts_with(line) || OpenHeader.starts_with(line))
        return true;
    if (line.starts_with(RaiseHeader)) {
        const std::string_view tail = line.substr(RaiseHeader.size());
        return tail.front() == ' ' && beginsNumber(tail.substr(1), TokenDigits);
    }
    if (!line.starts_with(OpenHeader))
        return false;
    const std::string_view numbers = line.substr(OpenHeader.size());
    const std::size_t blank = numbers.find(' ');
    if (blank == std::string_view::npos)
        return beginsNumber(numbers, PathDigits);
    return blank > 0 && beginsNumber(numbers.substr(0, blank), PathDigits) &&
           beginsNumber(numbers.substr(blank + 1), TokenDigits);
}

} // namespace

bool tokenCanTravel(std::string_view token)
{
    return !token.empty() && token.size() <= MaxTokenBytes && printable(token);
}

std::optional<std::string> encode(const Request& request)
{
    const std::string& token = request.activationToken;
    if (!token.empty() && !tokenCanTravel(token))
        return std::nullopt;
    const std::string tokenLength = token.empty() ? "" : " " + std::to_string(token.size());
    if (request.kind == Kind::Raise)
        return std::string(RaiseHeader) + tokenLength + '\n' + token;
    if (!pathCanTravel(request.path))
        return std::nullopt;
    return std::string(OpenHeader) + std::to_string(request.path.size()) + tokenLength + '\n' +
           request.path + token;
}

ParseResult parse(std::string_view bytes)
{
    const std::size_t lineEnd = bytes.find('\n');
    if (lineEnd == std::string_view::npos) {
        // A beginning that cannot grow into a header is refused at once, so
        // that a stranger's bytes are not waited for.
        if (bytes.size() >= MaxHeaderBytes || !beginsHeader(bytes))
            return invalid("not a message of this program");
        return {};
    }

    const std::string_view header = bytes.substr(0, lineEnd);
    const std::string_view rest = bytes.substr(lineEnd + 1);
    ParseResult result;
    std::string_view tokenDigits;
    std::size_t pathLength = 0;
    if (header.starts_with(RaiseHeader) &&
        (header.size() == RaiseHeader.size() || header[RaiseHeader.size()] == ' ')) {
        result.request.kind = Kind::Raise;
        if (header.size() > RaiseHeader.size())
            tokenDigits = header.substr(RaiseHeader.size() + 1);
    } else if (header.starts_with(OpenHeader)) {
        result.request.kind = Kind::Open;
        std::string_view numbers = header.substr(OpenHeader.size());
        const std::size_t blank = numbers.find(' ');
        if (blank != std::string_view::npos) {
            tokenDigits = numbers.substr(blank + 1);
            numbers = numbers.substr(0, blank);
        }
        const std::optional<std::size_t> length = parseLength(numbers, MaxPathBytes);
        if (!length)
            return invalid("the length of the file name is not a number from 1 to " +
                           std::to_string(MaxPathBytes));
        pathLength = *length;
    } else {
        return invalid("not a message of this program");
    }
    std::size_t tokenLength = 0;
    if (tokenDigits.data()) {
        const std::optional<std::size_t> length = parseLength(tokenDigits, MaxTokenBytes);
        if (!length)
            return invalid("the length of the activation token is not a number from 1 to " +
                           std::to_string(MaxTokenBytes));
        tokenLength = *length;
    }

    const std::string_view path = rest.substr(0, pathLength);
    if (path.find('\0') != std::string_view::npos)
        return invalid("the file name holds a NUL byte");
    if (!path.empty() && path.front() != '/')
        return invalid("the file name is not an absolute path");
    const std::string_view token = rest.substr(path.size(), tokenLength);
    if (!printable(token))
        return invalid("the activation token holds a byte that is not a printable character");
    if (rest.size() < pathLength + tokenLength)
        return {};
    if (rest.size() > pathLength + tokenLength)
        return invalid("bytes after the message");
    result.status = Status::Complete;
    result.request.path = std::string(path);
    result.request.activationToken = std::string(token);
    return result;
}

std::optional<std::string> answerProblem(std::string_view answer, int timeoutMs)
{
    if (answer == Accepted)
        return std::nullopt;
    if (answer.starts_with(RefusedPrefix)) {
        std::string_view reason = answer.substr(RefusedPrefix.size());
        while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' '))
            reason.remove_suffix(1);
        return "the running Mailvane refused the request: " + std::string(reason);
    }
    return "the running Mailvane did not confirm the request within " +
           std::to_string(timeoutMs / 1000) + " seconds";
}

} // namespace mailvane::app::instance_message
