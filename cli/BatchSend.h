#pragma once

// Sending pushes to a list of numbers: through the phone link one number at
// a time, or straight to a Kannel gateway with several numbers in flight;
// with a log, resuming from a log, going on after failures, a clean stop on
// Ctrl+C and a progress line. The numbers may all receive one push or each
// their own (one row of a table each).

#include "DeliveryReports.h"
#include "EmailSettings.h"
#include "PhoneBackEnd.h"
#include "PushSecurity.h"

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
    unsigned jobs = 1;
    bool keepGoing = false;
    std::optional<std::string> logPath;
    std::optional<std::string> resumePath;
    // With resumePath: send again to the numbers reported not delivered.
    bool resendUndelivered = false;
    ReportRequest reports;
};

// What numbers receive: the settings and the key of the push.
struct Parcel
{
    settings::EmailSettings record; // complete
    provisioning::PushSecurity security;
    std::string push; // hexadecimal text; built from the two above when empty
};

// One number of the batch.
struct BatchItem
{
    std::string number;
    std::size_t parcel = 0; // what it receives: an index into the parcels
    std::size_t line = 0;   // the table row it comes from, 0 for a number list
};

// A row left out of the batch, logged as skipped.
struct SkippedItem
{
    std::string number;
    std::size_t line = 0;
    std::string why;
};

// Sends each item its parcel through the chosen back end and reports on
// stdout/stderr; `skipped` rows are only logged. Returns the exit status.
int sendBatch(const BatchRequest& request, std::vector<BatchItem> items,
              std::vector<Parcel>& parcels, const std::vector<SkippedItem>& skipped,
              const std::filesystem::path& tokenTable, const phone::PhoneSelection& phone);

} // namespace mailvane::cli
