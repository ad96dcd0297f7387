#include "CliRunner.h"

#include "TempDir.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace mailvane::test {
namespace {

std::string fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

} // namespace

CliRun runCli(const std::vector<std::string>& args, const std::filesystem::path& workingDir,
              const std::filesystem::path& stdoutPath, const std::filesystem::path& stdinPath)
{
    // Files rather than pipes: nothing to drain while waiting, no deadlock.
    TempDir capture;
    const std::filesystem::path outPath = stdoutPath.empty() ? capture / "out" : stdoutPath;
    const std::filesystem::path errPath = capture / "err";

    std::vector<char*> argv;
    std::string program = MAILVANE_CLI_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open(stdinPath.empty() ? "/dev/null" : stdinPath.c_str(), O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
            ::dup2(err, 2) < 0 || ::chdir(workingDir.c_str()) != 0)
            ::_exit(127);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    CliRun run;
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return run;
    if (WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    if (stdoutPath.empty())
        run.out = fileBytes(outPath);
    run.err = fileBytes(errPath);
    return run;
}

void isolateProgramSettings(const std::filesystem::path& home)
{
    ::unsetenv("MAILVANE_PHONE");
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (home / "xdg").c_str(), 1);
}

std::vector<std::string> loggedEndings(const std::string& logText)
{
    std::vector<std::string> endings;
    std::size_t start = 0;
    for (std::size_t end = logText.find('\n'); end != std::string::npos;
         start = end + 1, end = logText.find('\n', start)) {
        std::string line = logText.substr(start, end - start);
        if (line.find("\tstarted\t") == std::string::npos)
            endings.push_back(std::move(line));
    }
    return endings;
}

} // namespace mailvane::test
