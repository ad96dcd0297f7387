// Delivery reports of a batch through Kannel and the SMPP SMS centre of the
// tests (tests/phone/smpp_smsc.py): mailvane-cli send --reports to N numbers
// whose last digits choose the outcome (1 undeliverable, 2 no receipt, else
// delivered), watched through its log. Prints, per repeat, when the last
// push was sent and when the last final report arrived (from the program's
// start), the median of each, and the output of `mailvane-cli status` for
// the last run.
//
//   kannel_reports_bench [--numbers N] [--jobs J] [--repeat R] [--receipt-delay MS]
//
// Not a Google Benchmark: one measurement is a whole run of programs.

#include "BenchSupport.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace mailvane;
using namespace mailvane::bench;

namespace {

const fs::path Settings = Examples / "imap4-gprs.txt";

struct Timing
{
    bool ok = false;
    double lastSent = 0;   // s from start until every push was logged as sent
    double lastReport = 0; // s from start until every final report was logged
};

Timing runOnce(const test::KannelHarness& gateway, const fs::path& folder, std::size_t numbers,
               unsigned jobs)
{
    writeNumbers(folder / "numbers.txt", "49170", numbers);
    std::size_t finals = 0;
    for (std::size_t i = 0; i < numbers; ++i) {
        if (i % 10 != 2) // ...2 gets no receipt
            ++finals;
    }
    const fs::path log = folder / "run.log";
    fs::remove(log);
    const pid_t pid = spawn(
        sendThrough(gateway.sendsmsUrl() + "?smsc=" + test::KannelHarness::SmppSmscId, Settings,
                    "1234",
                    {"--to-file", (folder / "numbers.txt").string(), "--jobs",
                     std::to_string(jobs), "--keep-going", "--reports", "--wait-reports", "20",
                     "--log", log.string()}),
        folder / "send.out", folder / "send.err");
    Timing timing;
    const auto start = Clock::now();
    int status = 0;
    for (;;) {
        const bool ended = waitpid(pid, &status, WNOHANG) == pid;
        const std::string text = readFile(log);
        const double now = std::chrono::duration<double>(Clock::now() - start).count();
        if (timing.lastSent == 0 && occurrences(text, "\tsent\t") >= numbers)
            timing.lastSent = now;
        if (timing.lastReport == 0 &&
            occurrences(text, "\tdelivered\t") + occurrences(text, "\tnot delivered\t") >= finals)
            timing.lastReport = now;
        if (ended)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // Exit status 1 is expected: some numbers are reported not delivered.
    timing.ok = WIFEXITED(status) && WEXITSTATUS(status) <= 1 && timing.lastReport > 0;
    return timing;
}

} // namespace

int main(int argc, char** argv)
{
    std::size_t numbers = 1000;
    unsigned jobs = 16;
    int repeat = 1;
    long receiptDelayMs = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--numbers")
            numbers = std::strtoul(argv[i + 1], nullptr, 10);
        else if (option == "--jobs")
            jobs = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
        else if (option == "--repeat")
            repeat = std::atoi(argv[i + 1]);
        else if (option == "--receipt-delay")
            receiptDelayMs = std::strtol(argv[i + 1], nullptr, 10);
    }
    KannelSite site("kannel-reports-bench");
    test::KannelHarness& gateway = site.gateway();
    gateway.addSmppSmsc(std::chrono::milliseconds(receiptDelayMs));
    if (!site.start())
        return 1;
    const fs::path& folder = site.folder();
    std::printf("%zu numbers, --jobs %u, receipts %ld ms after each submit\n", numbers, jobs,
                receiptDelayMs);
    std::vector<double> sent;
    std::vector<double> reported;
    for (int r = 0; r < repeat; ++r) {
        const Timing timing = runOnce(gateway, folder, numbers, jobs);
        if (!timing.ok) {
            std::fprintf(stderr, "run %d failed; see %s\n", r + 1, folder.c_str());
            site.keep();
            return 1;
        }
        std::printf("run %d: last push sent at %.2f s, last final report at %.2f s (%.2f s "
                    "after)\n",
                    r + 1, timing.lastSent, timing.lastReport, timing.lastReport - timing.lastSent);
        sent.push_back(timing.lastSent);
        reported.push_back(timing.lastReport);
    }
    std::printf("median: last push sent at %.2f s, last final report at %.2f s\n", median(sent),
                median(reported));
    std::printf("--- mailvane-cli status run.log\n");
    std::fflush(stdout);
    const pid_t status = spawn({Cli, "status", (folder / "run.log").string()},
                               folder / "status.out", folder / "status.err");
    waitpid(status, nullptr, 0);
    std::fputs(readFile(folder / "status.out").c_str(), stdout);
    return 0;
}
