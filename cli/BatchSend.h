#pragma once

// Sending one settings file to a list of numbers: through the phone link one
// number at a time, or straight to a Kannel gateway with several numbers in
// flight; with a log, resuming from a log, going on after failures, a clean
// stop on Ctrl+C and a progress line.

#include "EmailSettings.h"
#include "PhoneBackEnd.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace mailvane::cli {

// Exit status of a batch stopped by Ctrl+C (128 + SIGINT, as shells report it).
inline constexpr int ExitInterrupted = 130;
// More requests in flight than this only queue up in the gateway.
inline constexpr unsigned MaxJobs = 100;

struct BatchRequest
{
    std::vector<std::string> numbers;
    std::string pin;
    unsigned jobs = 1;
    bool keepGoing = false;
    std::optional<std::string> logPath;
    std::optional<std::string> resumePath;
};

// Sends the complete `record` to the request's numbers through the chosen
// back end and reports on stdout/stderr. Returns the exit status.
int sendBatch(const BatchRequest& request, settings::EmailSettings& record,
              const std::filesystem::path& tokenTable, const phone::PhoneSelection& phone);

} // namespace mailvane::cli
