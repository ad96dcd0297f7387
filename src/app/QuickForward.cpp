#include "QuickForward.h"

#include "InstanceAddress.h"
#include "InstanceMessage.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <poll.h>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace mailvane::app {
namespace {

namespace message = instance_message;

std::string_view environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string_view(value) : std::string_view();
}

// The running program's socket when the window's code would surely name the
// same one: Qt picks the X11 platform and the runtime folder is the one set.
std::optional<std::string> socketPath()
{
    const std::string_view platform = environment("QT_QPA_PLATFORM");
    const std::string_view display = environment("DISPLAY");
    // An unfit folder is said by the window's code, which then runs.
    const std::string runtime =
        instance_address::privateRuntimeFolder(environment("XDG_RUNTIME_DIR")).path;
    if (!(platform.empty() || platform == "xcb") || display.empty() || runtime.empty())
        return std::nullopt;
    if (platform.empty() &&
        (!environment("WAYLAND_DISPLAY").empty() || environment("XDG_SESSION_TYPE") == "wayland"))
        return std::nullopt;
    return instance_address::basePath(runtime, instance_address::displayPart("xcb", display, {})) +
           std::string(instance_address::SocketSuffix);
}

// The request of this start; nothing when its arguments are for the window's
// code to judge.
std::optional<message::Request> requestOf(const ProgramArguments& arguments)
{
    if (arguments.action != ProgramArguments::Action::Run)
        return std::nullopt;
    message::Request request;
    if (arguments.file.empty())
        return request;
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    if (error)
        return std::nullopt;
    request.kind = message::Kind::Open;
    request.path = (current / arguments.file).lexically_normal().string();
    return request;
}

// A connected socket to `path`, or -1.
int connectTo(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, path.data(), path.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool sendAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

// What arrives up to the first line break, the peer's end or the time limit.
std::string answerFrom(int fd, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string answer;
    while (answer.find('\n') == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0)
            break;
        pollfd ready{fd, POLLIN, 0};
        const int polled = poll(&ready, 1, static_cast<int>(left));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            break;
        char buffer[256];
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        answer.append(buffer, static_cast<std::size_t>(got));
    }
    return answer;
}

} // namespace

QuickForwardResult quickForward(const ProgramArguments& arguments)
{
    using Outcome = QuickForwardResult::Outcome;
    QuickForwardResult result;
    const std::optional<std::string> path = socketPath();
    const std::optional<message::Request> request = requestOf(arguments);
    if (!path || !request)
        return result;
    const std::optional<std::string> bytes = message::encode(*request);
    if (!bytes)
        return result;
    const int fd = connectTo(*path);
    if (fd < 0)
        return result;
    // A file name goes only to a program of this user.
    if (!instance_address::peerIsThisUser(fd)) {
        close(fd);
        return result;
    }
    // A send cut short leaves no whole request with the running program (it
    // went away meanwhile): the window's code starts over. Once the request
    // went, the answer decides.
    if (!sendAll(fd, *bytes)) {
        close(fd);
        return result;
    }
    const std::string answer = answerFrom(fd, message::ForwardTimeoutMs);
    close(fd);
    if (const std::optional<std::string> problem =
            message::answerProblem(answer, message::ForwardTimeoutMs)) {
        result.outcome = Outcome::Refused;
        result.problem = *problem;
    } else {
        result.outcome = Outcome::Delivered;
    }
    return result;
}

} // namespace mailvane::app
