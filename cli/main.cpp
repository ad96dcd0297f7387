#include "Program.h"

#include <csignal>

int main(int argc, char** argv)
{
    // Output into a closed pipe (`| head`) is a write error to report with
    // exit status 1, not a silent death by SIGPIPE (141).
    std::signal(SIGPIPE, SIG_IGN);
    return mailvane::cli::run(argc, argv);
}
