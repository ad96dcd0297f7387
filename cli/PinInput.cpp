#include "PinInput.h"

#include "CliSupport.h"
#include "PushSecurity.h"
#include "SecurityOptions.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace mailvane::cli {
namespace {

struct LineRead
{
    std::optional<std::string> line; // nothing when it could not be read or was too long
    int error = 0;
};

// The first line of `fd`, read a byte at a time so that nothing past it is
// taken from a shared input; without its CR LF or LF.
LineRead readFirstLine(int fd)
{
    std::string line;
    for (;;) {
        char c = 0;
        const ssize_t got = ::read(fd, &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return {std::nullopt, errno};
        if (got == 0 || c == '\n')
            break;
        if (line.size() == MaxPinInputBytes)
            return {std::nullopt, EFBIG};
        line += c;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return {std::move(line), 0};
}

// Switches the terminal's echo off for as long as it lives.
class EchoOff
{
public:
    explicit EchoOff(int fd) : m_fd(fd)
    {
        if (::tcgetattr(fd, &m_saved) != 0)
            return;
        termios quiet = m_saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~(ECHO | ECHONL));
        m_active = ::tcsetattr(fd, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff()
    {
        if (m_active)
            ::tcsetattr(m_fd, TCSAFLUSH, &m_saved);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    int m_fd;
    termios m_saved{};
    bool m_active = false;
};

std::string modeText(mode_t mode)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

std::optional<std::string> pinFromFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        printError("cannot read the PIN file '" + path + "': " + std::strerror(errno));
        return std::nullopt;
    }
    struct stat info = {};
    std::optional<std::string> pin;
    if (::fstat(fd, &info) != 0) {
        printError("cannot read the PIN file '" + path + "': " + std::strerror(errno));
    } else if ((info.st_mode & 077) != 0) {
        // As ssh does with a private key: a secret others can read is no
        // longer one, and a file others can change chooses the PIN for us.
        printError("warning: the PIN file '" + path + "' is open to other users (mode " +
                   modeText(info.st_mode) +
                   "), so it is not used; make it private with "
                   "'chmod 600 " +
                   path + "'");
    } else if (const LineRead read = readFirstLine(fd); !read.line) {
        printError("cannot read the PIN file '" + path + "': " +
                   (read.error == EFBIG ? std::string("its first line is longer than any PIN")
                                        : std::strerror(read.error)));
    } else if (read.line->empty()) {
        printError("the PIN file '" + path + "' holds no PIN on its first line");
    } else {
        pin = read.line;
    }
    ::close(fd);
    return pin;
}

std::optional<std::string> pinFromStandardInput()
{
    const bool terminal = ::isatty(STDIN_FILENO) == 1;
    LineRead read;
    if (terminal) {
        std::fputs("PIN: ", stderr);
        std::fflush(stderr);
        const EchoOff quiet(STDIN_FILENO);
        read = readFirstLine(STDIN_FILENO);
        std::fputs("\n", stderr);
    } else {
        read = readFirstLine(STDIN_FILENO);
    }
    if (!read.line || read.line->empty()) {
        printError(read.error == EFBIG ? "the PIN line on standard input is longer than any PIN"
                   : read.error != 0   ? "cannot read the PIN from standard input: " +
                                           std::string(std::strerror(read.error))
                                     : std::string("no PIN on standard input"));
        return std::nullopt;
    }
    return read.line;
}

bool methodUsesPin(const Arguments& arguments)
{
    const std::string* given = arguments.option("security");
    if (!given)
        return true;
    const auto method = provisioning::parseSecurityMethod(*given);
    return method && provisioning::usesPin(*method);
}

} // namespace

std::optional<int> takePinInput(Arguments& arguments, std::string_view command)
{
    const std::string* pin = arguments.option("pin");
    const std::string* file = arguments.option("pin-file");
    if (pin && file)
        return commandUsageError(command, "give the PIN once: --pin or --pin-file");
    std::optional<std::string> taken;
    if (file) {
        taken = pinFromFile(*file);
    } else if (pin && *pin == "-") {
        for (const char* reader : {"to-file", "rows"}) {
            if (const std::string* source = arguments.option(reader); source && *source == "-")
                return commandUsageError(command, std::string("--pin - and --") + reader +
                                                      " - cannot both read standard input");
        }
        taken = pinFromStandardInput();
    } else if (const char* environment = std::getenv(PinEnvironmentVariable);
               !pin && environment && *environment && methodUsesPin(arguments)) {
        arguments.options["pin"] = environment;
        return std::nullopt;
    } else {
        return std::nullopt;
    }
    if (!taken)
        return ExitFailure;
    arguments.options.erase("pin-file");
    arguments.options["pin"] = std::move(*taken);
    return std::nullopt;
}

} // namespace mailvane::cli
