#pragma once

// What a batch shows while it runs. On a terminal: one line on stderr,
// rewritten in place, "sent S / failed F / total T, R numbers/s, about N s
// left", with failures printed above it. Elsewhere: plain lines, one per
// number started and one per failure, for logs and scripts.

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace mailvane::cli {

class ProgressLine
{
public:
    using Clock = std::chrono::steady_clock;

    ProgressLine(std::size_t total, bool terminal, Clock::time_point start = Clock::now());

    void starting(std::size_t index, std::string_view number);
    void finished(bool sent, std::string_view number, std::string_view answer,
                  Clock::time_point now = Clock::now());
    // What delivery reports say so far; shown from now on.
    void reports(std::size_t delivered, std::size_t notDelivered, std::size_t waiting,
                 Clock::time_point now = Clock::now());
    // Any line that is not progress (e.g. a phone's message count).
    void note(std::string_view line);
    // Ends the progress line on a terminal.
    void close();

    // The progress text for the counts so far, without line control.
    std::string text(Clock::time_point now) const;

private:
    void redraw(Clock::time_point now, bool force);
    void clearLine();

    std::size_t m_total;
    bool m_terminal;
    Clock::time_point m_start;
    Clock::time_point m_lastDrawn{};
    std::size_t m_sent = 0;
    std::size_t m_failed = 0;
    bool m_drawn = false;
    bool m_reports = false;
    std::size_t m_delivered = 0;
    std::size_t m_notDelivered = 0;
    std::size_t m_waiting = 0;
};

} // namespace mailvane::cli
