// Batch sending through a Kannel gateway on loopback: mailvane-cli send with
// --jobs N against the same sendsms requests posted by curl from a shell loop
// (xargs -P N, one curl per number carrying that number's messages in order
// over one connection). Reports messages per second accepted by Kannel and
// mailvane-cli's own CPU time per message, as medians over the repeats.
//
// With --rows, compares instead one shared mailbox (--to-file) with one
// mailbox per number from a table (--rows), both through mailvane-cli.
//
//   kannel_batch_bench [--numbers N] [--jobs 1,8,32] [--repeat R] [--rows]
//
// Not a Google Benchmark: one measurement is a whole run of programs. Runs
// only on loopback; every Kannel process is stopped at the end.

#include "DocumentBuilder.h"
#include "GatewayAddress.h"
#include "KannelHarness.h"
#include "MessageSegmenter.h"
#include "OpenSettings.h"
#include "PhoneService.h"
#include "PushBuilder.h"
#include "SendsmsCodec.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace mailvane;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const fs::path TokenTable = MAILVANE_TOKEN_TABLE_PATH;
const fs::path Settings = fs::path(MAILVANE_SOURCE_DIR) / "examples" / "pop3-gsm-proxies.txt";
constexpr const char* Pin = "1234";

struct RunFigures
{
    bool ok = false;
    double seconds = 0;
    double cpuSeconds = 0; // user + system of the program and its children
};

// Runs argv with stdout and stderr to files; wall time and CPU time of the
// whole process tree.
RunFigures timedRun(const std::vector<std::string>& argv, const fs::path& out, const fs::path& err)
{
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    RunFigures figures;
    std::fflush(stdout); // or the child's exit would print it again
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid < 0)
        return figures;
    if (pid == 0) {
        if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen(err.c_str(), "w", stderr))
            _exit(127);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    figures.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    // The child's usage includes that of the descendants it waited for (curl
    // under xargs).
    figures.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    figures.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return figures;
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
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The sendsms URLs of every number's push, one line per number, as
// mailvane-cli sends them: references in list order from 1.
std::optional<std::size_t> writeRequests(const std::vector<std::string>& numbers,
                                         const std::string& url, const fs::path& path)
{
    settings::EmailSettings record;
    if (!settings::openSettingsFile(Settings, record).ok())
        return std::nullopt;
    provisioning::TokenTables tables;
    if (!tables.load(TokenTable))
        return std::nullopt;
    const auto document = provisioning::buildDocument(record);
    const auto push = document ? provisioning::encodeProvisioningPush(
                                     tables, *document, provisioning::userPinSecurity(Pin))
                               : std::nullopt;
    const auto address = phone::parseGatewayAddress(url);
    if (!push || !address.address)
        return std::nullopt;
    provisioning::MessageSegmenter segmenter;
    segmenter.countMessages(*push);
    const std::string common = phone::sendsmsCommonQuery(*address.address);
    std::ofstream out(path);
    for (const std::string& number : numbers) {
        phone::OutgoingMessage message;
        message.recipient = number;
        message.concatenationReference = segmenter.nextReference();
        for (unsigned i = 0; i < segmenter.messageCount(); ++i) {
            message.userDataHeader =
                segmenter
                    .buildHeader(message.concatenationReference, static_cast<std::uint8_t>(i + 1))
                    .bytes;
            message.userData = segmenter.cutSegment(*push, i).value_or(std::vector<std::uint8_t>{});
            out << (i ? " " : "") << phone::sendsmsUrl(*address.address, common, message);
        }
        out << "\n";
    }
    return segmenter.messageCount();
}

std::vector<unsigned> parseJobs(const std::string& text)
{
    std::vector<unsigned> jobs;
    std::istringstream in(text);
    for (std::string item; std::getline(in, item, ',');)
        jobs.push_back(static_cast<unsigned>(std::stoul(item)));
    return jobs;
}

// A table with the numbers and a mailbox of each person's own.
void writeTable(const std::vector<std::string>& numbers, const fs::path& path)
{
    std::ofstream table(path);
    table << "number,E-Mail Address,Incoming Server Username,Incoming Server Password\n";
    for (std::size_t i = 0; i < numbers.size(); ++i)
        table << numbers[i] << ",p" << 100000 + i << "@example.com,p" << 100000 + i << ",Pw-"
              << 100000 + i << "\n";
}

// The messages of every push of a send, as encode prints them.
std::optional<std::size_t> messageCount(const std::vector<std::string>& sendOptions,
                                        const fs::path& folder)
{
    std::vector<std::string> args = {
        MAILVANE_CLI_PATH,   "encode",   Settings.string(), "--pin", Pin, "--table",
        TokenTable.string(), "--format", "messages"};
    args.insert(args.end(), sendOptions.begin(), sendOptions.end());
    if (!timedRun(args, folder / "encode.out", folder / "encode.err").ok)
        return std::nullopt;
    return occurrences(readFile(folder / "encode.out"), "\n");
}

// One shared mailbox against one mailbox per number, both through mailvane-cli.
int compareRows(const test::KannelHarness& gateway, const fs::path& folder,
                const std::vector<std::string>& numbers, const std::vector<unsigned>& jobLevels,
                unsigned repeat)
{
    writeTable(numbers, folder / "rows.csv");
    const std::vector<std::string> shared = {"--to-file", (folder / "numbers.txt").string()};
    // The template's mailbox name and dial-up login are the same for everyone.
    const std::vector<std::string> rows = {"--rows", (folder / "rows.csv").string(), "--shared",
                                           "Mailbox,In Bearer Username,In Bearer Password"};
    auto sharedMessages = messageCount({"--to", numbers.front()}, folder);
    if (sharedMessages)
        *sharedMessages *= numbers.size();
    const auto rowMessages = messageCount(rows, folder);
    if (!sharedMessages || !rowMessages) {
        std::fprintf(stderr, "cannot count the messages; see %s\n", folder.c_str());
        return 1;
    }
    std::printf("%zu numbers: %zu messages with one mailbox, %zu with a mailbox each; %u "
                "repeats, medians\n",
                numbers.size(), *sharedMessages, *rowMessages, repeat);
    std::printf("%6s %16s %16s %8s\n", "jobs", "shared msg/s", "rows msg/s", "ratio");
    for (const unsigned jobs : jobLevels) {
        std::vector<double> sharedRate, rowRate;
        for (unsigned r = 0; r < repeat; ++r) {
            for (const bool perRow : {false, true}) {
                std::vector<std::string> args = {MAILVANE_CLI_PATH,
                                                 "send",
                                                 Settings.string(),
                                                 "--pin",
                                                 Pin,
                                                 "--table",
                                                 TokenTable.string(),
                                                 "--phone",
                                                 "kannel:" + gateway.sendsmsUrl(),
                                                 "--jobs",
                                                 std::to_string(jobs)};
                const auto& source = perRow ? rows : shared;
                args.insert(args.end(), source.begin(), source.end());
                const RunFigures run = timedRun(args, folder / "ours.out", folder / "ours.err");
                if (!run.ok) {
                    std::fprintf(stderr, "a run failed; see %s\n", folder.c_str());
                    return 1;
                }
                (perRow ? rowRate : sharedRate)
                    .push_back(static_cast<double>(perRow ? *rowMessages : *sharedMessages) /
                               run.seconds);
            }
        }
        std::printf("%6u %16.0f %16.0f %7.0f%%\n", jobs, median(sharedRate), median(rowRate),
                    100 * median(rowRate) / median(sharedRate));
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::size_t count = 1000;
    std::vector<unsigned> jobLevels = {1, 8, 32};
    unsigned repeat = 3;
    bool rows = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--rows")
            rows = true;
        else if (i + 1 >= argc)
            break;
        else if (option == "--numbers")
            count = std::stoul(argv[++i]);
        else if (option == "--jobs")
            jobLevels = parseJobs(argv[++i]);
        else if (option == "--repeat")
            repeat = static_cast<unsigned>(std::stoul(argv[++i]));
    }

    char folderTemplate[] = "/tmp/mailvane-kannel-bench-XXXXXX";
    if (!mkdtemp(folderTemplate)) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path folder = folderTemplate;
    int exitStatus = 0;
    {
        test::KannelHarness gateway(folder / "kannel");
        fs::create_directories(folder / "kannel");
        if (!gateway.start()) {
            std::fprintf(stderr, "%s\n", gateway.error().c_str());
            fs::remove_all(folder);
            return 1;
        }
        std::vector<std::string> numbers;
        for (std::size_t i = 0; i < count; ++i)
            numbers.push_back("+4915" + std::to_string(1000000 + i));
        {
            std::ofstream list(folder / "numbers.txt");
            for (const std::string& number : numbers)
                list << number << "\n";
        }
        if (rows) {
            exitStatus = compareRows(gateway, folder, numbers, jobLevels, repeat);
            gateway.stop();
            if (exitStatus == 0)
                fs::remove_all(folder);
            return exitStatus;
        }
        const auto perPush = writeRequests(numbers, gateway.sendsmsUrl(), folder / "requests.txt");
        if (!perPush) {
            std::fprintf(stderr, "cannot build the requests\n");
            return 1;
        }
        const double messages = static_cast<double>(count * *perPush);
        std::printf("%zu numbers x %zu messages = %.0f requests per run, %u repeats, medians\n",
                    count, *perPush, messages, repeat);
        std::printf("%6s %14s %14s %8s %16s %16s\n", "jobs", "mailvane msg/s", "curl msg/s",
                    "ratio", "mailvane us/msg", "curl us/msg");
        for (const unsigned jobs : jobLevels) {
            std::vector<double> oursRate, curlRate, oursCpu, curlCpu;
            for (unsigned r = 0; r < repeat; ++r) {
                const RunFigures ours = timedRun(
                    {MAILVANE_CLI_PATH, "send", Settings.string(), "--pin", Pin, "--table",
                     TokenTable.string(), "--phone", "kannel:" + gateway.sendsmsUrl(), "--to-file",
                     (folder / "numbers.txt").string(), "--jobs", std::to_string(jobs)},
                    folder / "ours.out", folder / "ours.err");
                const std::string script = "xargs -P " + std::to_string(jobs) +
                                           " -L 1 curl -s -w '\\n' < '" +
                                           (folder / "requests.txt").string() + "'";
                const RunFigures curl =
                    timedRun({"/bin/sh", "-c", script}, folder / "curl.out", folder / "curl.err");
                const std::size_t accepted =
                    occurrences(readFile(folder / "curl.out"), "Accepted for delivery");
                if (!ours.ok || !curl.ok || accepted != count * *perPush) {
                    std::fprintf(stderr, "a run failed (mailvane %s, curl %zu accepted); see %s\n",
                                 ours.ok ? "ok" : "failed", accepted, folder.c_str());
                    exitStatus = 1;
                    break;
                }
                oursRate.push_back(messages / ours.seconds);
                curlRate.push_back(messages / curl.seconds);
                oursCpu.push_back(ours.cpuSeconds / messages * 1e6);
                curlCpu.push_back(curl.cpuSeconds / messages * 1e6);
            }
            if (exitStatus != 0)
                break;
            std::printf("%6u %14.0f %14.0f %7.0f%% %16.1f %16.1f\n", jobs, median(oursRate),
                        median(curlRate), 100 * median(oursRate) / median(curlRate),
                        median(oursCpu), median(curlCpu));
            std::fflush(stdout);
        }
        gateway.stop();
    }
    if (exitStatus == 0)
        fs::remove_all(folder);
    return exitStatus;
}
