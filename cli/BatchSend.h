#pragma once

// Sending pushes to a list of numbers: through the phone link one number at
// a time, or straight to a Kannel gateway with several numbers in flight,
// retrying what the gateway refuses for now; with a log, resuming from a log,
// going on after failures, a clean stop on Ctrl+C, a progress line and a
// closing count. The numbers may all receive one push or each their own (one
// row of a table each).

#include "DeliveryReports.h"
#include "EmailSettings.h"
#include "PhoneBackEnd.h"
#include "PushSecurity.h"
#include "RetryPacing.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace mailvane::cli {

// Exit status of a batch stopped by Ctrl+C (128 + SIGINT, as shells report it).
inline constexpr int ExitInterrupted = 130;
// More requests in flight than this only queue up in the gateway.
inline constexpr unsigned MaxJobs = 100;
// Pushes failed in a row for the gateway's sake after which a batch stops.
inline constexpr unsigned DefaultStopAfter = 20;
inline constexpr unsigned MaxRetries = 100;
inline constexpr std::chrono::seconds DefaultRequestTimeout{20};
inline constexpr std::chrono::seconds MaxRequestTimeout{3600};

struct BatchRequest
{
    unsigned jobs = 1;
    bool keepGoing = false;
    std::optional<std::string> logPath;
    std::optional<std::string> resumePath;
    // With resumePath: send again to the numbers reported not delivered.
    bool resendUndelivered = false;
    ReportRequest reports;
    bool resendUncertain = false;
    bool dryRun = false;
    // Through a gateway only:
    unsigned retries = phone::DefaultRetries;
    unsigned stopAfter = DefaultStopAfter; // 0: never
    std::chrono::milliseconds timeout = DefaultRequestTimeout;
    std::optional<double> rate; // messages per second
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
    std::size_t parcel = 0; // what it receives: a key of the parcel source
    std::size_t line = 0;   // the table row it comes from, 0 for a number list
};

// Where the parcels come from: all at hand, or built one at a time as they
// are sent, so that a long table never holds more than the pushes in flight.
class ParcelSource
{
public:
    virtual ~ParcelSource() = default;
    // The parcel of `key` (BatchItem::parcel), or nullptr after saying why it
    // cannot be had. Keys come in the items' order; the parcel holds until
    // the next call, which may take its push.
    virtual Parcel* parcel(std::size_t key) = 0;
};

// Parcels held in memory; a key is an index.
class ParcelList final : public ParcelSource
{
public:
    explicit ParcelList(std::vector<Parcel> parcels) : m_parcels(std::move(parcels)) {}
    Parcel* parcel(std::size_t key) override { return &m_parcels.at(key); }

private:
    std::vector<Parcel> m_parcels;
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
int sendBatch(const BatchRequest& request, std::vector<BatchItem> items, ParcelSource& source,
              const std::vector<SkippedItem>& skipped, const std::filesystem::path& tokenTable,
              const phone::PhoneSelection& phone);

} // namespace mailvane::cli
