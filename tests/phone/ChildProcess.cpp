#include "ChildProcess.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mailvane::test {

ChildProcess::~ChildProcess()
{
    stop();
}

bool ChildProcess::start(const std::vector<std::string>& argv,
                         const std::filesystem::path& workingDir,
                         const std::filesystem::path& stdoutPath,
                         const std::filesystem::path& stderrPath)
{
    // An ended child's object may start another.
    if (argv.empty() || (m_pid > 0 && !m_status))
        return false;
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        // Only async-signal-safe calls from here on.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 ||
            dup2(err, 2) < 0 || chdir(workingDir.c_str()) != 0)
            _exit(127);
        // A test runner may ignore these; the child must react to them.
        ::signal(SIGINT, SIG_DFL);
        ::signal(SIGTERM, SIG_DFL);
        execv(args[0], args.data());
        _exit(127);
    }
    m_pid = pid;
    m_status.reset();
    return true;
}

bool ChildProcess::running()
{
    return m_pid > 0 && !waitFor(std::chrono::milliseconds(0));
}

void ChildProcess::signal(int number)
{
    if (m_pid > 0 && !m_status)
        kill(m_pid, number);
}

std::optional<int> ChildProcess::waitFor(std::chrono::milliseconds limit)
{
    if (m_pid <= 0 || m_status)
        return m_status;
    waitUntil(
        [this] {
            int status = 0;
            const pid_t ended = waitpid(m_pid, &status, WNOHANG);
            if (ended == m_pid)
                m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            else if (ended < 0)
                m_status = -1; // not ours any more
            return m_status.has_value();
        },
        limit);
    return m_status;
}

void ChildProcess::stop(std::chrono::milliseconds grace)
{
    if (m_pid <= 0 || m_status)
        return;
    kill(m_pid, SIGTERM);
    if (!waitFor(grace)) {
        kill(m_pid, SIGKILL);
        waitFor(std::chrono::seconds(5));
    }
}

} // namespace mailvane::test
