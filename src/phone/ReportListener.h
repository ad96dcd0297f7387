#pragma once

// A small HTTP server for a gateway's report callbacks: it answers every GET
// with 200 and hands the request target to a handler, one request at a time,
// on a thread of its own. Nothing else is served, and a request larger than
// a callback is answered with 400 and dropped.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace mailvane::phone {

// Where a listener binds: a host (name or address literal) and a port, 0
// for any free one.
struct ListenAddress
{
    std::string host = "127.0.0.1";
    unsigned port = 0;
};

// Reads "HOST:PORT" ("[ADDRESS]:PORT" for IPv6); nothing when it is not of
// that form or the port is not 0 to 65535.
std::optional<ListenAddress> parseListenAddress(std::string_view text);

class ReportListener
{
public:
    using Handler = std::function<void(std::string_view target)>;

    ReportListener() = default;
    ~ReportListener();
    ReportListener(const ReportListener&) = delete;
    ReportListener& operator=(const ReportListener&) = delete;

    // Binds and starts serving; false with `error` set (the address and why)
    // when the address cannot be bound, e.g. a port in use.
    bool start(const ListenAddress& address, Handler handler, std::string& error);
    // Stops serving; a request being answered is finished first.
    void stop();

    // The port bound, once started.
    unsigned port() const { return m_port; }

private:
    void serve();
    void answer(int connection);

    Handler m_handler;
    int m_socket = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    unsigned m_port = 0;
    std::thread m_thread;
};

} // namespace mailvane::phone
