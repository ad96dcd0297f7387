// mailvane: the window program. Prepares the e-mail settings of one mailbox
// and sends them to phones; mailvane-cli does the same without a window.
//
// The program file itself links nothing but the C++ runtime: it answers
// --help and --version at once, hands a later start's request to the running
// program when it can (QuickForward.h), and otherwise loads the window's code
// (WindowMain.cpp, a module installed with the program) and hands it the
// command line.

#include "ProgramLocation.h"
#include "ProgramOptions.h"
#include "QuickForward.h"
#include "VersionRecord.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <string>
#include <vector>

// The About box reads the version from the program file itself.
MAILVANE_EMBED_FILE_VERSION(MAILVANE_FILE_VERSION);

namespace {

int runWindow(int argc, char** argv)
{
    const std::filesystem::path folder =
        mailvane::platform::installedModuleDirectory(mailvane::platform::programDirectory());
    if (folder.empty()) {
        std::fprintf(stderr, "mailvane: %s\n", mailvane::platform::ProgramDirectoryUnknown);
        return EXIT_FAILURE;
    }
    const std::filesystem::path module = folder / MAILVANE_WINDOW_MODULE;
    // Every symbol bound now: a module that does not fit fails here, clearly.
    void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "mailvane: cannot load the window's code: %s\n", dlerror());
        return EXIT_FAILURE;
    }
    const auto entry =
        reinterpret_cast<mailvane::app::WindowEntry>(dlsym(handle, mailvane::app::WindowEntryName));
    if (!entry) {
        std::fprintf(stderr, "mailvane: %s holds no window: %s\n", module.c_str(), dlerror());
        return EXIT_FAILURE;
    }
    // The module stays loaded until the process ends: Qt's teardown runs in it.
    return entry(argc, argv);
}

} // namespace

int main(int argc, char** argv)
{
    using mailvane::app::ProgramArguments;
    using mailvane::app::QuickForwardResult;
    const ProgramArguments arguments =
        ProgramArguments::parse(std::vector<std::string>(argv + 1, argv + argc));
    switch (arguments.action) {
    case ProgramArguments::Action::Help:
        std::fputs(mailvane::app::programUsage().c_str(), stdout);
        return EXIT_SUCCESS;
    case ProgramArguments::Action::Version:
        std::printf("mailvane %s\n", MAILVANE_VERSION);
        return EXIT_SUCCESS;
    case ProgramArguments::Action::Run:
    case ProgramArguments::Action::Refused:
        break;
    }
    const QuickForwardResult forwarded = mailvane::app::quickForward(arguments);
    switch (forwarded.outcome) {
    case QuickForwardResult::Outcome::Delivered:
        return EXIT_SUCCESS;
    case QuickForwardResult::Outcome::Refused:
        std::fprintf(stderr, "mailvane: %s\n", forwarded.problem.c_str());
        return EXIT_FAILURE;
    case QuickForwardResult::Outcome::NotTried:
        break;
    }
    return runWindow(argc, argv);
}
