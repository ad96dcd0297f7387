// The memory a long table takes on its way through mailvane-cli: 1,000,000
// rows through `send --check-rows`, and 100,000 rows sent to a simulated
// phone, through --dry-run and through a Kannel gateway on loopback, each run
// as its own process so that its peak resident set is its own. Prints the
// median wall time and peak RSS of each over the runs; the target is 150 MB
// for all. With --baseline, each case also runs (alternating) with another
// build of mailvane-cli, say one from before a change, for a comparison in one
// go.
//
//   rows_memory_bench [RUNS] [--cases check,phone,dry,kannel] [--baseline CLI]
//
// RUNS defaults to 3; --cases to all four.

#include "BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace mailvane::bench;

namespace {

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

// One case of the benchmark: a name and the arguments after the program's
// path, given the run's own scratch folder.
struct Case
{
    std::string key;
    std::string name;
    std::function<std::vector<std::string>(const fs::path& scratch)> arguments;
};

bool report(const std::string& name, const std::vector<RunFigures>& runs, const fs::path& folder)
{
    std::vector<double> seconds;
    std::vector<double> peaks;
    for (const RunFigures& run : runs) {
        if (!run.ok()) {
            std::fprintf(stderr, "%s: exit status %d: %s\n", name.c_str(), run.status,
                         readFile(folder / "err.txt").c_str());
            return false;
        }
        seconds.push_back(run.seconds);
        peaks.push_back(run.peakMegabytes);
    }
    std::printf("%-48s median %7.1f s   peak RSS median %6.1f MiB (max %6.1f)   %zu runs\n",
                name.c_str(), median(seconds), median(peaks), *std::ranges::max_element(peaks),
                runs.size());
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 3;
    std::string chosen = "check,phone,dry,kannel";
    std::string baseline;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--cases" && i + 1 < argc)
            chosen = argv[++i];
        else if (option == "--baseline" && i + 1 < argc)
            baseline = argv[++i];
        else
            runs = std::max(1, std::atoi(argv[i]));
    }
    const auto wanted = [&](const std::string& key) {
        return ("," + chosen + ",").find("," + key + ",") != std::string::npos;
    };
    KannelSite site("rows-bench");
    const fs::path& folder = site.folder();
    if (folder.empty() || (wanted("kannel") && !site.start()))
        return 1;
    const std::string templateFile = (Examples / "staff-template.txt").string();
    const fs::path million = folder / "million.csv";
    const fs::path hundredThousand = folder / "hundred-thousand.csv";
    const auto send = [&](const fs::path& table, std::vector<std::string> more) {
        std::vector<std::string> args = {"send",  templateFile, "--table", TokenTable.string(),
                                         "--pin", "4711",       "--rows",  table.string()};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    const std::vector<Case> cases = {
        {"check", "1,000,000 rows, send --check-rows",
         [&](const fs::path&) { return send(million, {"--check-rows"}); }},
        {"phone", "100,000 rows, send to a simulated phone",
         [&](const fs::path& scratch) {
             return send(hundredThousand, {"--phone", "sim:" + scratch.string()});
         }},
        {"dry", "100,000 rows, send --dry-run --jobs 16",
         [&](const fs::path&) { return send(hundredThousand, {"--dry-run", "--jobs", "16"}); }},
        {"kannel", "100,000 rows, send through Kannel --jobs 16",
         [&](const fs::path&) {
             return send(hundredThousand,
                         {"--phone", "kannel:" + site.gateway().sendsmsUrl(), "--jobs", "16"});
         }},
    };
    std::vector<std::pair<std::string, std::string>> programs = {{"", Cli}};
    if (!baseline.empty())
        programs.emplace_back(" (baseline)", baseline);

    bool ok = true;
    for (const Case& one : cases) {
        if (!ok || !wanted(one.key))
            continue;
        const fs::path& table = one.key == "check" ? million : hundredThousand;
        if (!fs::exists(table))
            writeTable(table, one.key == "check" ? 1'000'000 : 100'000);
        std::vector<std::vector<RunFigures>> measured(programs.size());
        for (int i = 0; i < runs; ++i) {
            for (std::size_t p = 0; p < programs.size(); ++p) {
                const fs::path scratch = folder / "scratch";
                fs::create_directory(scratch);
                std::vector<std::string> args = one.arguments(scratch);
                args.insert(args.begin(), programs[p].second);
                measured[p].push_back(timedRun(args, folder / "out.txt", folder / "err.txt"));
                fs::remove_all(scratch);
            }
        }
        for (std::size_t p = 0; p < programs.size() && ok; ++p)
            ok = report(one.name + programs[p].first, measured[p], folder);
        if (one.key == "check")
            fs::remove(million);
    }
    if (!ok)
        site.keep();
    return ok ? 0 : 1;
}
