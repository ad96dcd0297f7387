#pragma once

namespace mailvane::cli {

// Runs mailvane-cli with the program's command line; returns its exit status.
int run(int argc, char** argv);

} // namespace mailvane::cli
