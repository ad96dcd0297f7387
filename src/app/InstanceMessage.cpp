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

// The decimal length of the open header: digits only, no leading zero, at
// most MaxPathBytes; nothing otherwise.
std::optional<std::size_t> parseLength(std::string_view digits)
{
    if (digits.empty() || digits.front() == '0' || digits.size() > 4)
        return std::nullopt;
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value > MaxPathBytes)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::string> encode(const Request& request)
{
    if (request.kind == Kind::Raise)
        return std::string(RaiseHeader) + '\n';
    if (!pathCanTravel(request.path))
        return std::nullopt;
    return std::string(OpenHeader) + std::to_string(request.path.size()) + '\n' + request.path;
}

ParseResult parse(std::string_view bytes)
{
    const std::size_t lineEnd = bytes.find('\n');
    if (lineEnd == std::string_view::npos) {
        // A beginning that cannot grow into a header is refused at once, so
        // that a stranger's bytes are not waited for.
        if (bytes.size() >= MaxHeaderBytes)
            return invalid("not a message of this program");
        if (RaiseHeader.substr(0, bytes.size()) == bytes ||
            OpenHeader.substr(0, bytes.size()) == bytes)
            return {};
        if (bytes.substr(0, OpenHeader.size()) == OpenHeader) {
            const std::string_view digits = bytes.substr(OpenHeader.size());
            if (digits.front() != '0' && digits.size() <= 4 &&
                digits.find_first_not_of("0123456789") == std::string_view::npos)
                return {};
        }
        return invalid("not a message of this program");
    }

    const std::string_view header = bytes.substr(0, lineEnd);
    const std::string_view rest = bytes.substr(lineEnd + 1);
    ParseResult result;
    if (header == RaiseHeader) {
        if (!rest.empty())
            return invalid("bytes after the message");
        result.status = Status::Complete;
        result.request.kind = Kind::Raise;
        return result;
    }
    if (header.substr(0, OpenHeader.size()) != OpenHeader)
        return invalid("not a message of this program");
    const std::optional<std::size_t> length = parseLength(header.substr(OpenHeader.size()));
    if (!length)
        return invalid("the length of the file name is not a number from 1 to " +
                       std::to_string(MaxPathBytes));
    const std::string_view path = rest.substr(0, *length);
    if (path.find('\0') != std::string_view::npos)
        return invalid("the file name holds a NUL byte");
    if (!path.empty() && path.front() != '/')
        return invalid("the file name is not an absolute path");
    if (rest.size() < *length)
        return {};
    if (rest.size() > *length)
        return invalid("bytes after the message");
    result.status = Status::Complete;
    result.request.kind = Kind::Open;
    result.request.path = std::string(path);
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
