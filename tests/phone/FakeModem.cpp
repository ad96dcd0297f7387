#include "FakeModem.h"

#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace mailvane::test {
namespace {

constexpr char CtrlZ = 0x1A;
constexpr char Escape = 0x1B;

std::string ucs2Hex(const std::u16string& text)
{
    std::string hex;
    char unit[5];
    for (const char16_t c : text) {
        std::snprintf(unit, sizeof unit, "%04X", static_cast<unsigned>(c));
        hex += unit;
    }
    return hex;
}

std::string latin(const std::u16string& text)
{
    std::string out;
    for (const char16_t c : text)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

} // namespace

FakeModem::FakeModem()
{
    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    termios raw{};
    tcgetattr(m_slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(m_slave, TCSANOW, &raw);
    m_path = name;
    int wake[2];
    if (pipe(wake) != 0)
        throw std::runtime_error("pipe failed");
    m_wakeRead = wake[0];
    m_wakeWrite = wake[1];
    m_thread = std::thread(&FakeModem::serve, this);
}

FakeModem::~FakeModem()
{
    const char stop = 'x';
    [[maybe_unused]] const auto written = write(m_wakeWrite, &stop, 1);
    m_thread.join();
    vanish();
    close(m_wakeRead);
    close(m_wakeWrite);
}

void FakeModem::vanish()
{
    if (m_master >= 0)
        close(m_master);
    if (m_slave >= 0)
        close(m_slave);
    m_master = m_slave = -1;
}

void FakeModem::scriptMessage(int number, Answer answer)
{
    const std::lock_guard lock(m_mutex);
    m_script[number] = answer;
}

void FakeModem::setSilent(bool silent)
{
    const std::lock_guard lock(m_mutex);
    m_silent = silent;
}

void FakeModem::setPhonebook(const std::string& memory, std::vector<FakePhonebookEntry> entries,
                             int size)
{
    const std::lock_guard lock(m_mutex);
    m_phonebooks[memory] = {size, std::move(entries)};
}

std::vector<FakeModem::Submission> FakeModem::submissions() const
{
    const std::lock_guard lock(m_mutex);
    return m_submissions;
}

std::vector<std::string> FakeModem::commands() const
{
    const std::lock_guard lock(m_mutex);
    return m_commands;
}

void FakeModem::serve()
{
    char chunk[512];
    while (m_master >= 0) {
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0)
            continue;
        if (fds[1].revents)
            return;
        const ssize_t count = read(m_master, chunk, sizeof chunk);
        if (count <= 0)
            continue;
        const std::lock_guard lock(m_mutex);
        m_buffer.append(chunk, static_cast<std::size_t>(count));
        for (;;) {
            if (m_inPdu) {
                const auto end = m_buffer.find_first_of(std::string{CtrlZ, Escape});
                if (end == std::string::npos)
                    break;
                const bool cancelled = m_buffer[end] == Escape;
                std::string pdu = m_buffer.substr(0, end);
                m_buffer.erase(0, end + 1);
                m_inPdu = false;
                if (m_echo)
                    reply(pdu + std::string(1, cancelled ? Escape : CtrlZ));
                if (!cancelled)
                    handlePdu(std::move(pdu));
                if (m_master < 0)
                    return;
                continue;
            }
            const auto end = m_buffer.find('\r');
            if (end == std::string::npos)
                break;
            std::string line = m_buffer.substr(0, end);
            m_buffer.erase(0, end + 1);
            handleLine(std::move(line));
        }
    }
}

void FakeModem::reply(const std::string& text)
{
    if (m_master < 0)
        return;
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(m_master, text.data() + done, text.size() - done);
        if (written <= 0)
            return;
        done += static_cast<std::size_t>(written);
    }
}

void FakeModem::handleLine(std::string line)
{
    std::erase(line, Escape);
    std::erase(line, '\n');
    if (line.empty())
        return;
    m_commands.push_back(line);
    if (m_silent)
        return;
    if (m_echo)
        reply(line + "\r");
    reply(answerFor(line));
}

std::string FakeModem::answerFor(const std::string& command)
{
    const auto info = [](const std::string& text) {
        return "\r\n" + text + "\r\n\r\nOK\r\n";
    };
    const std::string ok = "\r\nOK\r\n";
    const std::string error = "\r\nERROR\r\n";
    if (command == "AT" || command == "AT+CMEE=1" || command == "AT+CFUN=1" ||
        command == "AT+CMGF=0")
        return ok;
    if (command == "ATE1" || command == "ATE0") {
        m_echo = command == "ATE1";
        return ok;
    }
    if (command == "AT+CSCS?")
        return info("+CSCS: \"" + m_charset + "\"");
    if (command == "AT+CSCS=?")
        return info("+CSCS: (\"GSM\",\"UCS2\")");
    if (command.starts_with("AT+CSCS=\"")) {
        m_charset = command.substr(9, command.size() - 10);
        return ok;
    }
    if (command == "AT+CGMI")
        return info("Mailvane Test Modems");
    if (command == "AT+CGMM")
        return info("Loopback 1");
    if (command == "AT+CGMR")
        return info("1.0");
    if (command == "AT+CGSN")
        return info("490154203237518");
    if (command == "AT+CSCA?")
        return info("+CSCA: \"+4917100000\",145");
    if (command.starts_with("AT+CMGS=")) {
        m_announcedLength = std::stoi(command.substr(8));
        m_inPdu = true;
        return "\r\n> ";
    }
    if (command == "AT+CPBS=?") {
        // Only the phonebooks the phone has, as a phone lists them.
        std::string books;
        for (const auto& [name, book] : m_phonebooks)
            books += (books.empty() ? "\"" : ",\"") + name + "\"";
        return info("+CPBS: (" + books + ")");
    }
    if (command.starts_with("AT+CPBS=\"")) {
        const std::string memory = command.substr(9, command.size() - 10);
        if (!m_phonebooks.contains(memory))
            return "\r\n+CME ERROR: 3\r\n";
        m_memory = memory;
        return ok;
    }
    if (command == "AT+CPBS?") {
        const auto& book = m_phonebooks[m_memory];
        return info("+CPBS: \"" + m_memory + "\"," + std::to_string(book.second.size()) + "," +
                    std::to_string(book.first));
    }
    if (command == "AT+CPBR=?")
        return info("+CPBR: (1-" + std::to_string(m_phonebooks[m_memory].first) + "),40,18");
    if (command.starts_with("AT+CPBR="))
        return phonebookRead(command.substr(8));
    return error;
}

std::string FakeModem::phonebookRead(const std::string& range)
{
    const auto comma = range.find(',');
    const int first = std::stoi(range.substr(0, comma));
    const int last = comma == std::string::npos ? first : std::stoi(range.substr(comma + 1));
    std::string out;
    for (const FakePhonebookEntry& entry : m_phonebooks[m_memory].second) {
        if (entry.location < first || entry.location > last)
            continue;
        const std::string name = m_charset == "UCS2" ? ucs2Hex(entry.name) : latin(entry.name);
        out += "\r\n+CPBR: " + std::to_string(entry.location) + ",\"" + entry.number + "\"," +
               std::to_string(entry.numberType) + ",\"" + name + "\"";
    }
    if (out.empty() && first == last)
        return "\r\n+CME ERROR: 22\r\n"; // not found
    return out + "\r\n\r\nOK\r\n";
}

void FakeModem::handlePdu(std::string pdu)
{
    const int number = ++m_messages;
    m_submissions.push_back({m_announcedLength, pdu});
    const auto scripted = m_script.find(number);
    const Answer answer = scripted == m_script.end() ? Answer::Accept : scripted->second;
    switch (answer) {
    case Answer::Accept:
        reply("\r\n+CMGS: " + std::to_string(number % 256) + "\r\n\r\nOK\r\n");
        break;
    case Answer::Error:
        reply("\r\nERROR\r\n");
        break;
    case Answer::CmsError:
        reply("\r\n+CMS ERROR: 500\r\n");
        break;
    case Answer::Silence:
        break;
    case Answer::Vanish:
        vanish();
        break;
    }
}

} // namespace mailvane::test
