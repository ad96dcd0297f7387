#include "SendLog.h"

#include "DeliveryReport.h"
#include "Recipients.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

namespace mailvane::cli {
namespace {

// Tabs and line ends would break the line's fields.
void appendField(std::string& line, std::string_view text)
{
    for (const char c : text)
        line += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
}

constexpr std::pair<LogOutcome, std::string_view> OutcomeWords[] = {
    {LogOutcome::Started, LogStartedWord}, {LogOutcome::Sent, LogSentWord},
    {LogOutcome::Failed, LogFailedWord},   {LogOutcome::Skipped, LogSkippedWord},
    {LogOutcome::Dry, LogDryWord},
};

std::string_view outcomeWord(LogOutcome outcome)
{
    for (const auto& [value, word] : OutcomeWords) {
        if (value == outcome)
            return word;
    }
    // A report's line takes the word of the state it reports.
    switch (outcome) {
    case LogOutcome::Accepted:
        return phone::deliveryStateWord(phone::DeliveryState::Accepted);
    case LogOutcome::Delivered:
        return phone::deliveryStateWord(phone::DeliveryState::Delivered);
    case LogOutcome::NotDelivered:
        return phone::deliveryStateWord(phone::DeliveryState::NotDelivered);
    default:
        return {};
    }
}

} // namespace

SendLog::~SendLog()
{
    if (m_fd >= 0)
        ::close(m_fd); // and with it the lock
}

SendLog::Opening SendLog::open(const std::string& path, std::string& error)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot open the log " + path + ": " + std::strerror(errno);
        return Opening::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int cause = errno;
        ::close(fd);
        if (cause == EWOULDBLOCK) {
            error = "the log " + path + " is in use by another run";
            return Opening::InUse;
        }
        error = "cannot lock the log " + path + ": " + std::strerror(cause);
        return Opening::Failed;
    }
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
    m_path = path;
    return Opening::Opened;
}

std::string formatLogLine(std::string_view number, LogOutcome outcome, std::string_view answer,
                          std::chrono::system_clock::time_point when, std::size_t line)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char time[32];
    std::strftime(time, sizeof time, "%Y-%m-%dT%H:%M:%SZ", &utc);

    std::string text;
    appendField(text, number);
    text += '\t';
    text += outcomeWord(outcome);
    text += '\t';
    text += time;
    text += '\t';
    appendField(text, answer);
    if (line > 0)
        text += "\tline " + std::to_string(line);
    return text;
}

bool SendLog::record(std::string_view number, LogOutcome outcome, std::string_view answer,
                     std::size_t row, std::chrono::system_clock::time_point when)
{
    if (m_fd < 0)
        return false;
    // One write per line: a run killed at any moment leaves whole lines and at
    // most one cut-off last line, which a resumed run ignores.
    const std::string line = formatLogLine(number, outcome, answer, when, row) + '\n';
    std::size_t written = 0;
    while (written < line.size()) {
        const ssize_t bytes = ::write(m_fd, line.data() + written, line.size() - written);
        if (bytes < 0 && errno == EINTR)
            continue;
        if (bytes <= 0)
            return false;
        written += static_cast<std::size_t>(bytes);
    }
    return true;
}

LoggedNumbers numbersInLog(std::string_view text)
{
    std::map<std::string, LogOutcome, std::less<>> last;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        const std::size_t tab = line.find('\t');
        if (tab == 0 || tab == std::string_view::npos)
            continue;
        const std::string_view rest = line.substr(tab + 1);
        for (const auto& [outcome, word] : OutcomeWords) {
            if (rest.starts_with(word) && rest.size() > word.size() && rest[word.size()] == '\t') {
                const std::string_view number = line.substr(0, tab);
                last[settings::dialableNumber(number).value_or(std::string(number))] = outcome;
            }
        }
    }
    LoggedNumbers numbers;
    for (auto& [number, outcome] : last) {
        if (outcome == LogOutcome::Sent)
            numbers.sent.insert(number);
        else if (outcome == LogOutcome::Started)
            numbers.uncertain.insert(number);
    }
    return numbers;
}

ResumeResult readResumeLog(const std::string& path)
{
    ResumeResult result;
    std::error_code missing;
    if (!std::filesystem::exists(path, missing) && !missing) {
        result.read = true;
        return result;
    }
    if (!std::filesystem::is_regular_file(path, missing)) {
        result.error = "cannot read the log " + path + ": not a file";
        return result;
    }
    std::string text;
    if (!readLogText(path, text, result.error))
        return result;
    result.read = true;
    result.numbers = numbersInLog(text);
    return result;
}

bool readLogText(const std::string& path, std::string& text, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read the log " + path + ": " + std::strerror(errno);
        return false;
    }
    std::ostringstream contents;
    contents << file.rdbuf();
    if (file.bad()) {
        error = "cannot read the log " + path;
        return false;
    }
    text = std::move(contents).str();
    return true;
}

} // namespace mailvane::cli
