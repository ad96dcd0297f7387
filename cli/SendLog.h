#pragma once

// The log of a batch: one line per number, appended as soon as its push
// ended, so that an interrupted run leaves a complete record:
//
//   NUMBER <TAB> sent|failed <TAB> TIME (UTC, ISO 8601) <TAB> ANSWER
//
// With delivery reports, a line follows whenever a sent push's state moves:
//
//   NUMBER <TAB> accepted|delivered|not delivered <TAB> TIME <TAB> SMSC TEXT
//
// A number from a table ends its line with <TAB> "line N", the row it came
// from; a row left out for its defects is logged as skipped, with why.
// A resumed run skips the numbers that a log records as sent.

#include <chrono>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <string_view>

namespace mailvane::cli {

inline constexpr std::string_view LogSentWord = "sent";
inline constexpr std::string_view LogFailedWord = "failed";
inline constexpr std::string_view LogSkippedWord = "skipped";

enum class LogOutcome
{
    Sent,
    Failed,
    Skipped,
    // What delivery reports say of a sent push.
    Accepted,
    Delivered,
    NotDelivered,
};

class SendLog
{
public:
    // Opens `path` for appending; false (with `error` set) when it cannot.
    bool open(const std::string& path, std::string& error);

    // Appends and flushes one line; false when it could not be written.
    // `line` is the table row the number came from, 0 for none.
    bool record(std::string_view number, LogOutcome outcome, std::string_view answer,
                std::size_t line = 0,
                std::chrono::system_clock::time_point when = std::chrono::system_clock::now());

    const std::string& path() const { return m_path; }

private:
    struct Closer
    {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> m_file;
    std::string m_path;
};

// One log line, without its line end.
std::string formatLogLine(std::string_view number, LogOutcome outcome, std::string_view answer,
                          std::chrono::system_clock::time_point when, std::size_t line = 0);

// The numbers a log's text records as sent. Lines that are not complete
// (no line end, as a crash may leave the last one) or not of the log's form
// are ignored.
std::set<std::string, std::less<>> sentNumbersInLog(std::string_view text);

struct ResumeResult
{
    bool read = false;
    std::set<std::string, std::less<>> sent;
    std::string error;
};

// A log that does not exist yet records nothing, so the same file can be
// given to --log and --resume from the first run on.
ResumeResult readResumeLog(const std::string& path);

} // namespace mailvane::cli
