#pragma once

// A program started by a test and stopped by it, whatever happens: stopping
// is bounded in time (SIGTERM, then SIGKILL), the destructor stops it, and
// the child is killed by the kernel should the test process die first.

#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace mailvane::test {

class ChildProcess
{
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `argv` in `workingDir` with stdout and stderr written to the
    // given files (stdin from /dev/null). False when it could not be started.
    bool start(const std::vector<std::string>& argv, const std::filesystem::path& workingDir,
               const std::filesystem::path& stdoutPath, const std::filesystem::path& stderrPath);

    pid_t pid() const { return m_pid; }
    bool running();
    void signal(int number);

    // The exit status once it has ended, waiting up to `limit`; nothing while
    // it runs, or -1 when it was ended by a signal.
    std::optional<int> waitFor(std::chrono::milliseconds limit);

    // SIGTERM, up to `grace` to end, then SIGKILL. Safe to call twice.
    void stop(std::chrono::milliseconds grace = std::chrono::seconds(5));

private:
    pid_t m_pid = -1;
    std::optional<int> m_status;
};

// Waits until `condition` holds, checking every few milliseconds, up to
// `limit`; returns whether it held.
template <typename Condition> bool waitUntil(Condition condition, std::chrono::milliseconds limit);

} // namespace mailvane::test

#include <thread>

template <typename Condition>
bool mailvane::test::waitUntil(Condition condition, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
