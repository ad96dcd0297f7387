#pragma once

// What the benchmarks that time whole runs of mailvane-cli share: starting a
// program with its output in files, what one run cost, medians, and a scratch
// folder with a Kannel gateway on loopback in it.

#include "KannelHarness.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace mailvane::bench {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

inline const fs::path TokenTable = MAILVANE_TOKEN_TABLE_PATH;
inline const fs::path Examples = fs::path(MAILVANE_SOURCE_DIR) / "examples";
inline const std::string Cli = MAILVANE_CLI_PATH;

// Starts argv[0] with argv, stdout and stderr to the files; -1 when it
// cannot fork.
pid_t spawn(const std::vector<std::string>& argv, const fs::path& out, const fs::path& err);

struct RunFigures
{
    int status = -1; // exit status; -1 when it did not exit
    double seconds = 0;
    double cpuSeconds = 0;    // user + system, its own and its waited-for children's
    double peakMegabytes = 0; // peak resident set

    bool ok() const { return status == 0; }
};

// Waits for `pid`, started at `started`.
RunFigures waitFor(pid_t pid, Clock::time_point started);
RunFigures timedRun(const std::vector<std::string>& argv, const fs::path& out,
                    const fs::path& err);

std::string readFile(const fs::path& path);
std::size_t occurrences(const std::string& text, const std::string& word);
double median(std::vector<double> values);

// `count` numbers, "+PREFIX" and seven digits from 1000000, also written one
// a line to `list`.
std::vector<std::string> writeNumbers(const fs::path& list, const std::string& prefix,
                                      std::size_t count);

// mailvane-cli send of `settings` with `pin` through the gateway at `url`,
// then `more`.
std::vector<std::string> sendThrough(const std::string& url, const fs::path& settings,
                                     const std::string& pin,
                                     const std::vector<std::string>& more = {});

// How many messages `mailvane-cli encode --format messages` prints for
// `settings` with `pin`, then `more`; nothing when it fails. Its output goes
// to `folder`.
std::optional<std::size_t> encodedMessages(const fs::path& settings, const std::string& pin,
                                           const std::vector<std::string>& more,
                                           const fs::path& folder);

// A scratch folder under /tmp and, on start(), a Kannel gateway in it. Both
// are gone at the end, unless keep() asked to leave the folder for a look.
class KannelSite
{
public:
    explicit KannelSite(const std::string& name, test::KannelLimits limits = {});
    ~KannelSite();
    KannelSite(const KannelSite&) = delete;
    KannelSite& operator=(const KannelSite&) = delete;

    // False after saying why on stderr.
    bool start();
    void keep() { m_keep = true; }

    const fs::path& folder() const { return m_folder; }
    test::KannelHarness& gateway() { return m_gateway; }

private:
    fs::path m_folder; // empty when it could not be made
    test::KannelHarness m_gateway;
    bool m_keep = false;
};

} // namespace mailvane::bench
