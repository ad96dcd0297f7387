#pragma once

// A phone that lives in a folder, for demonstrations and tests.
//
//   DIR/contacts.txt  UTF-8, one contact a line: `name;number[;number...]`;
//                     blank lines and lines starting with '#' are skipped. The
//                     numbers are offered as mobile numbers of the phone's own
//                     memory; the SIM is empty.
//   DIR/outbox.txt    every message the phone sends is appended as two lines:
//                     `PDU <SMS-SUBMIT in hex>` and
//                     `# to <recipient>, reference <r>, part <k> of <n>`.
//   DIR/phone.conf    options, one `key = value` a line ('#' starts a comment):
//                     `unplugged = yes` makes the phone unreachable;
//                     `refuse = N` refuses the N-th message handed to this
//                     phone since the program started (counting from 1);
//                     `reports = delivered` (the default), `not delivered`
//                     or `none` says what the network reports for a message
//                     sent with a report request, and `reports for DIGITS =
//                     ...` does so for the numbers ending in DIGITS (the
//                     longest ending named wins).
//   DIR/reports.txt   each such report is appended as a line
//                     `REPORT <recipient> <reference> <TP-Status in hex>`,
//                     which the phone then reads as a status report it
//                     received; lines written there by hand count too, those
//                     written before this program's first report request
//                     do not.
//
// phone.conf is read afresh whenever the program reaches for the phone.

#include "PhoneDevice.h"
#include "PhoneReports.h"

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mailvane::phone {

enum class SimulatedReport
{
    Delivered,
    NotDelivered,
    None,
};

struct SimulatedPhoneOptions
{
    bool unplugged = false;
    std::optional<unsigned> refuseMessage;
    SimulatedReport reports = SimulatedReport::Delivered;
    std::vector<std::pair<std::string, SimulatedReport>> reportsByEnding;

    // What the network reports for a message to `number`.
    SimulatedReport reportFor(std::string_view number) const;
};

// Reads phone.conf text; unknown keys and malformed lines are ignored.
SimulatedPhoneOptions parseSimulatedPhoneOptions(std::string_view text);

// Largest contacts.txt or phone.conf read. A larger contacts.txt cannot be
// read; a larger phone.conf leaves the phone unplugged until it is fixed.
inline constexpr std::uintmax_t MaxSimulatedPhoneFileBytes = 1024 * 1024;

// Reads contacts.txt text; nothing when it lists more than MaxPhoneContacts.
std::optional<std::vector<DeviceContact>> parseSimulatedContacts(std::string_view text);

// Reads reports.txt text from its start: the reports of the whole lines,
// and how many bytes those lines take; malformed lines are passed over.
struct SimulatedReportLines
{
    std::vector<PhoneStatusReport> reports;
    std::size_t consumed = 0;
};
SimulatedReportLines parseSimulatedReports(std::string_view text);

class SimulatedPhone final : public PhoneDevice, private StatusReportSource
{
public:
    explicit SimulatedPhone(std::filesystem::path folder);

    PhoneConnection connect() override;
    PhoneResult send(const OutgoingMessage& message) override;
    StoreContents readContacts(ContactStore store) override;
    StatusReportSource* statusReports() override { return this; }

    const std::filesystem::path& folder() const { return m_folder; }

private:
    SimulatedPhoneOptions readOptions() const;
    std::vector<std::uint8_t> takeSentReferences() override;
    StatusReportsRead readStatusReports() override;
    std::uintmax_t reportsFileSize() const;
    PhoneResult writeReport(const OutgoingMessage& message, std::uint8_t reference,
                            SimulatedReport report);

    std::filesystem::path m_folder;
    std::mutex m_mutex;
    unsigned m_messagesHandedIn = 0;
    PhoneValue m_connections = 0;
    std::vector<std::uint8_t> m_sentReferences;
    // Bytes of reports.txt read, or passed over: what it held before the
    // first message asked for a report is about earlier runs.
    std::optional<std::uintmax_t> m_reportsRead;
};

} // namespace mailvane::phone
