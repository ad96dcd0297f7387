// The memory a long table takes on its way through mailvane-cli: 1,000,000
// rows through `send --check-rows` and 100,000 rows sent to a simulated
// phone, each run as its own process so that its peak resident set is its
// own. Prints the median wall time and peak RSS of each over the runs; the
// target is 150 MB for both.
//
//   rows_memory_bench [RUNS]     (default 3)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct Measured
{
    double seconds = 0;
    double peakMegabytes = 0;
    int status = -1;
};

// One person a row, as the README's table: all the personal values.
void writeTable(const fs::path& path, std::size_t people)
{
    std::ofstream out(path, std::ios::binary);
    out << "number,E-Mail Address,Incoming Server Username,Incoming Server Password,"
           "SMTP Username,SMTP Password,Mailbox,pin\r\n";
    for (std::size_t i = 0; i < people; ++i) {
        const std::string n = std::to_string(i);
        out << "+49" << 1'000'000'000 + i << ",person" << n << "@example.com,person" << n << ",Pw-"
            << n << "-imap,person" << n << ",Pw-" << n << "-smtp,Mail of person " << n << ","
            << 1000 + i % 9000 << "\r\n";
    }
}

Measured run(const std::vector<std::string>& args, const fs::path& folder)
{
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string out = (folder / "out.txt").string();
    const std::string err = (folder / "err.txt").string();
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    Measured measured;
    const auto started = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return measured;
    }
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return measured;
    measured.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    measured.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0; // KiB to MiB
    measured.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return measured;
}

double median(std::vector<double> values)
{
    std::ranges::sort(values);
    return values[values.size() / 2];
}

bool report(const char* name, const std::vector<Measured>& runs, const fs::path& folder)
{
    std::vector<double> seconds;
    std::vector<double> peaks;
    for (const Measured& measured : runs) {
        if (measured.status != 0) {
            std::ifstream err(folder / "err.txt");
            std::fprintf(stderr, "%s: exit status %d: %s\n", name, measured.status,
                         std::string(std::istreambuf_iterator<char>(err), {}).c_str());
            return false;
        }
        seconds.push_back(measured.seconds);
        peaks.push_back(measured.peakMegabytes);
    }
    std::printf("%-36s median %7.1f s   peak RSS median %6.1f MiB (max %6.1f)   %zu runs\n", name,
                median(seconds), median(peaks), *std::ranges::max_element(peaks), runs.size());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    char folderTemplate[] = "/tmp/mailvane-rows-bench-XXXXXX";
    if (!mkdtemp(folderTemplate)) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path folder = folderTemplate;
    const std::string cli = MAILVANE_CLI_PATH;
    const std::string templateFile = MAILVANE_SOURCE_DIR "/examples/staff-template.txt";
    const std::vector<std::string> common = {
        cli, "send", templateFile, "--table", MAILVANE_TOKEN_TABLE_PATH, "--pin", "4711"};
    bool ok = true;

    writeTable(folder / "million.csv", 1'000'000);
    std::vector<Measured> checked;
    for (int i = 0; i < runs; ++i) {
        std::vector<std::string> args = common;
        args.insert(args.end(), {"--rows", (folder / "million.csv").string(), "--check-rows"});
        checked.push_back(run(args, folder));
    }
    ok = report("1,000,000 rows, send --check-rows", checked, folder) && ok;
    fs::remove(folder / "million.csv");

    writeTable(folder / "hundred-thousand.csv", 100'000);
    std::vector<Measured> sent;
    for (int i = 0; i < runs && ok; ++i) {
        const fs::path phone = folder / ("phone" + std::to_string(i));
        fs::create_directory(phone);
        std::vector<std::string> args = common;
        args.insert(args.end(), {"--rows", (folder / "hundred-thousand.csv").string(), "--phone",
                                 "sim:" + phone.string()});
        sent.push_back(run(args, folder));
        fs::remove_all(phone);
    }
    ok = ok && report("100,000 rows, send to a simulated phone", sent, folder);
    fs::remove_all(folder);
    return ok ? 0 : 1;
}
