#include "ProgressLine.h"

#include <cmath>
#include <cstdio>

namespace mailvane::cli {
namespace {

// A terminal line redrawn more often than this only costs time.
constexpr std::chrono::milliseconds RedrawInterval{200};
constexpr std::string_view ClearLine = "\r\033[K";

void write(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stderr);
}

} // namespace

ProgressLine::ProgressLine(std::size_t total, bool terminal, Clock::time_point start)
    : m_total(total), m_terminal(terminal), m_start(start)
{}

std::string ProgressLine::text(Clock::time_point now) const
{
    const std::size_t done = m_sent + m_failed;
    std::string line = "sent " + std::to_string(m_sent) + " / failed " + std::to_string(m_failed) +
                       " / total " + std::to_string(m_total);
    if (m_reports)
        line += " / delivered " + std::to_string(m_delivered) + " / not delivered " +
                std::to_string(m_notDelivered) + " / waiting " + std::to_string(m_waiting);
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    if (done == 0 || seconds <= 0)
        return line;
    const double rate = static_cast<double>(done) / seconds;
    char figures[64];
    std::snprintf(figures, sizeof figures, ", %.1f numbers/s, about %.0f s left", rate,
                  std::ceil(static_cast<double>(m_total - done) / rate));
    return line + figures;
}

void ProgressLine::clearLine()
{
    if (m_terminal && m_drawn)
        write(ClearLine);
}

void ProgressLine::redraw(Clock::time_point now, bool force)
{
    if (!m_terminal || (!force && m_drawn && now - m_lastDrawn < RedrawInterval))
        return;
    write(std::string(ClearLine) + text(now));
    std::fflush(stderr);
    m_lastDrawn = now;
    m_drawn = true;
}

void ProgressLine::starting(std::size_t index, std::string_view number)
{
    if (m_terminal)
        return;
    write("Sending to " + std::string(number) + " (recipient " + std::to_string(index + 1) +
          " of " + std::to_string(m_total) + ")\n");
}

void ProgressLine::finished(bool sent, std::string_view number, std::string_view answer,
                            Clock::time_point now)
{
    ++(sent ? m_sent : m_failed);
    if (!sent) {
        clearLine();
        m_drawn = false;
        write("Failed to send to " + std::string(number) + ": " + std::string(answer) + "\n");
    }
    redraw(now, !sent || m_sent + m_failed == m_total);
}

void ProgressLine::reports(std::size_t delivered, std::size_t notDelivered, std::size_t waiting,
                           Clock::time_point now)
{
    m_reports = true;
    m_delivered = delivered;
    m_notDelivered = notDelivered;
    m_waiting = waiting;
    redraw(now, false);
}

void ProgressLine::note(std::string_view line)
{
    if (m_terminal)
        return;
    write(std::string(line) + "\n");
}

void ProgressLine::close()
{
    if (m_terminal && m_drawn)
        write("\n");
    m_drawn = false;
}

} // namespace mailvane::cli
