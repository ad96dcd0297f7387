// A batch through a Kannel gateway that is kept busy: bearerbox queues at most
// a few outgoing messages and smsbox answers HTTP 503 beyond them, so
// mailvane-cli send --to-file --jobs J goes through only by trying again.
// For each queue limit prints every run's time, messages per second and
// messages tried again (from the closing line), then their medians; after
// each run checks at fakesmsc that every number got exactly one complete push
// and no message came twice.
//
//   kannel_busy_bench [--numbers N] [--jobs J] [--limits 4,1] [--repeat R]
//
// Not a Google Benchmark: one measurement is a whole run of programs.

#include "BenchSupport.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace mailvane;
using namespace mailvane::bench;

namespace {

const fs::path Settings = Examples / "imap4-gprs.txt";
constexpr const char* Pin = "1234";
// Long enough for fakesmsc to show a message sent twice.
constexpr std::chrono::milliseconds Settle{500};

// "... in T s (R messages tried again)"; 0 when the line names none.
unsigned long triedAgain(const std::string& err)
{
    const std::size_t end = err.rfind(" messages tried again)");
    const std::size_t start = err.rfind('(', end);
    if (end == std::string::npos || start == std::string::npos)
        return 0;
    return std::strtoul(err.c_str() + start + 1, nullptr, 10);
}

// Why the messages that arrived do not give each number exactly one complete
// push; empty when they do.
std::string exactlyOnce(const std::vector<test::ReceivedMessage>& messages,
                        const std::vector<std::string>& numbers, std::size_t expected)
{
    if (messages.size() != expected)
        return std::to_string(messages.size()) + " messages arrived, " + std::to_string(expected) +
               " were sent";
    std::map<std::string, int> complete;
    for (const test::ReceivedPush& push : test::reassemblePushes(messages))
        complete[push.to] += push.complete ? 1 : 0;
    for (const std::string& number : numbers) {
        if (complete[number] != 1)
            return number + " got " + std::to_string(complete[number]) + " complete pushes";
    }
    return {};
}

struct Figures
{
    double seconds = 0;
    double rate = 0;
    double retries = 0;
};

// Every run at one queue limit; nothing when one fails.
std::optional<std::vector<Figures>> runLimit(unsigned limit, std::size_t count, unsigned jobs,
                                             unsigned repeat)
{
    KannelSite site("kannel-busy-bench", {limit, 0});
    if (!site.start())
        return std::nullopt;
    const fs::path& folder = site.folder();
    test::KannelHarness& gateway = site.gateway();
    const std::vector<std::string> numbers = writeNumbers(folder / "numbers.txt", "4916", count);
    const std::optional<std::size_t> perPush = encodedMessages(Settings, Pin, {}, folder);
    if (!perPush) {
        std::fprintf(stderr, "cannot count the messages; see %s\n", folder.c_str());
        site.keep();
        return std::nullopt;
    }
    const std::size_t expected = count * *perPush;
    std::vector<Figures> runs;
    for (unsigned r = 0; r < repeat; ++r) {
        const std::size_t before = gateway.received().size();
        const RunFigures run =
            timedRun(sendThrough(gateway.sendsmsUrl(), Settings, Pin,
                                 {"--to-file", (folder / "numbers.txt").string(), "--jobs",
                                  std::to_string(jobs)}),
                     folder / "send.out", folder / "send.err");
        const std::string err = readFile(folder / "send.err");
        std::string fault = run.ok() ? std::string() : "exit status " + std::to_string(run.status);
        if (fault.empty() && !gateway.waitForReceived(before + expected, std::chrono::seconds(60)))
            fault = "not every message arrived";
        if (fault.empty()) {
            std::this_thread::sleep_for(Settle);
            const std::vector<test::ReceivedMessage> all = gateway.received();
            fault = exactlyOnce({all.begin() + static_cast<std::ptrdiff_t>(before), all.end()},
                                numbers, expected);
        }
        if (!fault.empty()) {
            std::fprintf(stderr, "queue limit %u, run %u: %s; see %s\n%s", limit, r + 1,
                         fault.c_str(), folder.c_str(), err.c_str());
            site.keep();
            return std::nullopt;
        }
        const Figures figures{run.seconds, static_cast<double>(expected) / run.seconds,
                              static_cast<double>(triedAgain(err))};
        std::printf("queue limit %u, run %u: %.2f s, %.0f messages/s, %.0f tried again, each "
                    "number one complete push\n",
                    limit, r + 1, figures.seconds, figures.rate, figures.retries);
        runs.push_back(figures);
    }
    return runs;
}

} // namespace

int main(int argc, char** argv)
{
    std::size_t count = 1000;
    unsigned jobs = 16;
    std::vector<unsigned> limits = {4, 1};
    unsigned repeat = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--numbers")
            count = std::strtoul(argv[i + 1], nullptr, 10);
        else if (option == "--jobs")
            jobs = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
        else if (option == "--repeat")
            repeat = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
        else if (option == "--limits") {
            limits.clear();
            std::istringstream in(argv[i + 1]);
            for (std::string item; std::getline(in, item, ',');)
                limits.push_back(static_cast<unsigned>(std::stoul(item)));
        }
    }
    std::printf("%zu numbers, --jobs %u, %u runs per queue limit\n", count, jobs, repeat);
    std::vector<std::string> table;
    for (const unsigned limit : limits) {
        const auto runs = runLimit(limit, count, jobs, repeat);
        if (!runs)
            return 1;
        std::vector<double> seconds, rate, retries;
        for (const Figures& run : *runs) {
            seconds.push_back(run.seconds);
            rate.push_back(run.rate);
            retries.push_back(run.retries);
        }
        char line[160];
        std::snprintf(line, sizeof line, "%11u %9.2f %11.0f %13.0f", limit, median(seconds),
                      median(rate), median(retries));
        table.emplace_back(line);
    }
    std::printf("medians:\n%11s %9s %11s %13s\n", "queue limit", "time s", "messages/s",
                "tried again");
    for (const std::string& line : table)
        std::printf("%s\n", line.c_str());
    return 0;
}
