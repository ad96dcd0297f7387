#include "SendLog.h"

#include "DeliveryReport.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace mailvane::cli {
namespace {

// Tabs and line ends would break the line's fields.
void appendField(std::string& line, std::string_view text)
{
    for (const char c : text)
        line += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
}

} // namespace

bool SendLog::open(const std::string& path, std::string& error)
{
    m_file.reset(std::fopen(path.c_str(), "ab"));
    if (!m_file) {
        error = "cannot open the log " + path + ": " + std::strerror(errno);
        return false;
    }
    m_path = path;
    return true;
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
    switch (outcome) {
    case LogOutcome::Sent:
        text += LogSentWord;
        break;
    case LogOutcome::Failed:
        text += LogFailedWord;
        break;
    case LogOutcome::Skipped:
        text += LogSkippedWord;
        break;
    case LogOutcome::Accepted:
        text += phone::deliveryStateWord(phone::DeliveryState::Accepted);
        break;
    case LogOutcome::Delivered:
        text += phone::deliveryStateWord(phone::DeliveryState::Delivered);
        break;
    case LogOutcome::NotDelivered:
        text += phone::deliveryStateWord(phone::DeliveryState::NotDelivered);
        break;
    }
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
    if (!m_file)
        return false;
    const std::string line = formatLogLine(number, outcome, answer, when, row) + '\n';
    const bool written = std::fwrite(line.data(), 1, line.size(), m_file.get()) == line.size();
    return std::fflush(m_file.get()) == 0 && written;
}

std::set<std::string, std::less<>> sentNumbersInLog(std::string_view text)
{
    std::set<std::string, std::less<>> sent;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        const std::size_t tab = line.find('\t');
        if (tab == 0 || tab == std::string_view::npos)
            continue;
        const std::string_view rest = line.substr(tab + 1);
        if (rest.starts_with(LogSentWord) && rest.size() > LogSentWord.size() &&
            rest[LogSentWord.size()] == '\t')
            sent.emplace(line.substr(0, tab));
    }
    return sent;
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
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        result.error = "cannot read the log " + path + ": " + std::strerror(errno);
        return result;
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        result.error = "cannot read the log " + path;
        return result;
    }
    result.read = true;
    result.sent = sentNumbersInLog(text.str());
    return result;
}

} // namespace mailvane::cli
