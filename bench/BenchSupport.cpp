#include "BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mailvane::bench {

pid_t spawn(const std::vector<std::string>& argv, const fs::path& out, const fs::path& err)
{
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    std::fflush(stdout); // or the child's exit would print it again
    const pid_t pid = fork();
    if (pid == 0) {
        if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen(err.c_str(), "w", stderr))
            _exit(127);
        execv(args[0], args.data());
        _exit(127);
    }
    return pid;
}

RunFigures waitFor(pid_t pid, Clock::time_point started)
{
    RunFigures figures;
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return figures;
    figures.seconds = std::chrono::duration<double>(Clock::now() - started).count();
    figures.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    figures.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0; // KiB to MiB
    figures.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return figures;
}

RunFigures timedRun(const std::vector<std::string>& argv, const fs::path& out,
                    const fs::path& err)
{
    const Clock::time_point started = Clock::now();
    return waitFor(spawn(argv, out, err), started);
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::size_t occurrences(const std::string& text, const std::string& word)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++count;
    return count;
}

double median(std::vector<double> values)
{
    std::ranges::sort(values);
    return values.empty() ? 0 : values[values.size() / 2];
}

std::vector<std::string> writeNumbers(const fs::path& list, const std::string& prefix,
                                      std::size_t count)
{
    std::vector<std::string> numbers;
    std::ofstream out(list);
    for (std::size_t i = 0; i < count; ++i) {
        numbers.push_back("+" + prefix + std::to_string(1000000 + i));
        out << numbers.back() << "\n";
    }
    return numbers;
}

std::vector<std::string> sendThrough(const std::string& url, const fs::path& settings,
                                     const std::string& pin, const std::vector<std::string>& more)
{
    std::vector<std::string> args = {Cli,   "send",  settings.string(),   "--pin",
                                     pin,   "--table", TokenTable.string(), "--phone",
                                     "kannel:" + url};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

std::optional<std::size_t> encodedMessages(const fs::path& settings, const std::string& pin,
                                           const std::vector<std::string>& more,
                                           const fs::path& folder)
{
    std::vector<std::string> args = {Cli,   "encode",  settings.string(),  "--pin",   pin,
                                     "--table", TokenTable.string(), "--format", "messages"};
    args.insert(args.end(), more.begin(), more.end());
    if (!timedRun(args, folder / "encode.out", folder / "encode.err").ok())
        return std::nullopt;
    return occurrences(readFile(folder / "encode.out"), "\n");
}

namespace {

fs::path scratchFolder(const std::string& name)
{
    std::string folder = "/tmp/mailvane-" + name + "-XXXXXX";
    if (!mkdtemp(folder.data())) {
        std::perror("mkdtemp");
        return {};
    }
    fs::create_directories(fs::path(folder) / "kannel");
    return folder;
}

} // namespace

KannelSite::KannelSite(const std::string& name, test::KannelLimits limits)
    : m_folder(scratchFolder(name)), m_gateway(m_folder / "kannel", limits)
{}

KannelSite::~KannelSite()
{
    m_gateway.stop();
    if (!m_folder.empty() && !m_keep)
        fs::remove_all(m_folder);
}

bool KannelSite::start()
{
    if (m_folder.empty())
        return false;
    if (m_gateway.start())
        return true;
    std::fprintf(stderr, "%s\n", m_gateway.error().c_str());
    return false;
}

} // namespace mailvane::bench
