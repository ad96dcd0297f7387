#include "ReportListener.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace mailvane::phone {
namespace {

// A callback's request line and headers fit easily; more is not a callback.
constexpr std::size_t MaxRequestBytes = 8192;
// A client that says nothing for this long is dropped, so that it cannot
// hold up the reports behind it.
constexpr int ClientTimeoutMs = 2000;
constexpr int Backlog = 64;

constexpr std::string_view OkAnswer =
    "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
constexpr std::string_view BadAnswer =
    "HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";

void writeAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
        if (written <= 0)
            return;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

} // namespace

std::optional<ListenAddress> parseListenAddress(std::string_view text)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0)
        return std::nullopt;
    std::string_view host = text.substr(0, colon);
    const std::string_view portText = text.substr(colon + 1);
    if (host.front() == '[') {
        if (host.size() < 3 || host.back() != ']')
            return std::nullopt;
        host = host.substr(1, host.size() - 2);
    } else if (host.find(':') != std::string_view::npos) {
        return std::nullopt;
    }
    unsigned port = 0;
    const auto [end, error] =
        std::from_chars(portText.data(), portText.data() + portText.size(), port);
    if (portText.empty() || error != std::errc() || end != portText.data() + portText.size() ||
        port > 65535)
        return std::nullopt;
    return ListenAddress{std::string(host), port};
}

ReportListener::~ReportListener()
{
    stop();
}

bool ReportListener::start(const ListenAddress& address, Handler handler, std::string& error)
{
    const std::string where = address.host + ":" + std::to_string(address.port);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(address.port);
    if (const int status = getaddrinfo(address.host.c_str(), port.c_str(), &hints, &found);
        status != 0) {
        error = "cannot listen for delivery reports on " + where + ": " + gai_strerror(status);
        return false;
    }
    int fd = -1;
    int lastError = 0;
    for (addrinfo* entry = found; entry && fd < 0; entry = entry->ai_next) {
        fd = socket(entry->ai_family, entry->ai_socktype | SOCK_CLOEXEC, entry->ai_protocol);
        if (fd < 0) {
            lastError = errno;
            continue;
        }
        const int on = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (bind(fd, entry->ai_addr, entry->ai_addrlen) != 0 || listen(fd, Backlog) != 0) {
            lastError = errno;
            close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    if (fd < 0) {
        error = "cannot listen for delivery reports on " + where + ": " + std::strerror(lastError);
        return false;
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
    m_port =
        ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<const sockaddr_in6*>(&bound)->sin6_port
                                          : reinterpret_cast<const sockaddr_in*>(&bound)->sin_port);
    std::array<int, 2> wake{};
    if (pipe2(wake.data(), O_CLOEXEC) != 0) {
        error = "cannot listen for delivery reports: " + std::string(std::strerror(errno));
        close(fd);
        return false;
    }
    m_socket = fd;
    m_wakeRead = wake[0];
    m_wakeWrite = wake[1];
    m_handler = std::move(handler);
    m_thread = std::thread(&ReportListener::serve, this);
    return true;
}

void ReportListener::stop()
{
    if (m_thread.joinable()) {
        const char byte = 0;
        [[maybe_unused]] const ssize_t written = write(m_wakeWrite, &byte, 1);
        m_thread.join();
    }
    for (int* fd : {&m_socket, &m_wakeRead, &m_wakeWrite}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}

void ReportListener::serve()
{
    for (;;) {
        std::array<pollfd, 2> watched{{{m_socket, POLLIN, 0}, {m_wakeRead, POLLIN, 0}}};
        if (poll(watched.data(), watched.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (watched[1].revents != 0)
            return;
        const int connection = accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        answer(connection);
        close(connection);
    }
}

void ReportListener::answer(int connection)
{
    std::string request;
    char buffer[2048];
    while (request.find("\r\n\r\n") == std::string::npos) {
        pollfd watched{connection, POLLIN, 0};
        if (poll(&watched, 1, ClientTimeoutMs) <= 0)
            return;
        const ssize_t got = recv(connection, buffer, sizeof buffer, 0);
        if (got <= 0)
            return;
        request.append(buffer, static_cast<std::size_t>(got));
        if (request.size() > MaxRequestBytes) {
            writeAll(connection, BadAnswer);
            return;
        }
    }
    // "GET TARGET HTTP/1.x"
    const std::size_t lineEnd = request.find("\r\n");
    const std::string_view line = std::string_view(request).substr(0, lineEnd);
    const std::size_t first = line.find(' ');
    const std::size_t second = line.find(' ', first + 1);
    if (first == std::string_view::npos || second == std::string_view::npos ||
        line.substr(0, first) != "GET") {
        writeAll(connection, BadAnswer);
        return;
    }
    writeAll(connection, OkAnswer);
    m_handler(line.substr(first + 1, second - first - 1));
}

} // namespace mailvane::phone
