#pragma once

// The log of a batch: one line per event of a number, appended and written
// through at once, so that even a killed run leaves a complete record:
//
//   NUMBER <TAB> started|sent|failed|skipped|dry <TAB> TIME (UTC, ISO 8601) <TAB> ANSWER
//
// "started" comes before a push's first message, "sent" or "failed" after its
// last; "dry" is a --dry-run's, which sends nothing. A number from a table ends
// its line with <TAB> "line N", the row it came from; a row left out for its
// defects is logged as skipped, with why.
//
// A number whose last line is "sent" was sent; one whose last line is
// "started" may or may not have been (the run ended in between): uncertain.
// The log is locked for the whole run, so two runs never write one log.
//
// With delivery reports, a line follows whenever a sent push's state moves:
//
//   NUMBER <TAB> accepted|delivered|not delivered <TAB> TIME <TAB> SMSC TEXT

#include <chrono>
#include <set>
#include <string>
#include <string_view>

namespace mailvane::cli {

inline constexpr std::string_view LogStartedWord = "started";
inline constexpr std::string_view LogSentWord = "sent";
inline constexpr std::string_view LogFailedWord = "failed";
inline constexpr std::string_view LogSkippedWord = "skipped";
inline constexpr std::string_view LogDryWord = "dry";

enum class LogOutcome
{
    Started,
    Sent,
    Failed,
    Skipped,
    Dry,
    // What delivery reports say of a sent push.
    Accepted,
    Delivered,
    NotDelivered,
};

class SendLog
{
public:
    enum class Opening
    {
        Opened,
        InUse, // another run holds the log
        Failed,
    };

    SendLog() = default;
    ~SendLog();
    SendLog(const SendLog&) = delete;
    SendLog& operator=(const SendLog&) = delete;

    // Opens `path` for appending (created readable by its owner only: it lists
    // who got which settings) and locks it until the log is closed. On failure
    // `error` says why.
    Opening open(const std::string& path, std::string& error);

    // Appends one line in one write; false when it could not be written.
    // `line` is the table row the number came from, 0 for none.
    bool record(std::string_view number, LogOutcome outcome, std::string_view answer,
                std::size_t line = 0,
                std::chrono::system_clock::time_point when = std::chrono::system_clock::now());

    const std::string& path() const { return m_path; }

private:
    int m_fd = -1;
    std::string m_path;
};

// One log line, without its line end.
std::string formatLogLine(std::string_view number, LogOutcome outcome, std::string_view answer,
                          std::chrono::system_clock::time_point when, std::size_t line = 0);

// What a log's text says of its numbers, each as dialled (a log may hold them
// as typed). Lines that are not complete (no line end, as a crash may leave
// the last one) or not of the log's form are ignored.
struct LoggedNumbers
{
    std::set<std::string, std::less<>> sent;
    std::set<std::string, std::less<>> uncertain; // last line "started"
};
LoggedNumbers numbersInLog(std::string_view text);

struct ResumeResult
{
    bool read = false;
    LoggedNumbers numbers;
    std::string error;
};

// A log that does not exist yet records nothing, so the same file can be
// given to --log and --resume from the first run on.
ResumeResult readResumeLog(const std::string& path);

// The whole text of the log at `path` into `text`; false with `error` set
// ("cannot read the log PATH: why") when it cannot be read.
bool readLogText(const std::string& path, std::string& text, std::string& error);

} // namespace mailvane::cli
