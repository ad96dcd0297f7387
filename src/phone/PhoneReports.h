#pragma once

// Status reports that a phone receives for the messages it sent with a
// report request (TP-SRR), and how they are matched to the pushes of a batch.
// A phone names a report by the message reference it gave the message when
// it went and by the recipient's number; references are one byte and wrap
// after 256 messages, so the number keeps a wrapped reference apart from a
// reference of another recipient, and the latest message with a reference
// is the one a report speaks of.

#include "DeliveryReport.h"
#include "PhoneResult.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mailvane::phone {

struct PhoneStatusReport
{
    std::string recipient;      // the number the message went to, as the network gives it
    std::uint8_t reference = 0; // TP-Message-Reference of the message
    std::uint8_t status = 0;    // TP-Status
};

// The report type (report_types) that a TP-Status says: a completed
// transaction (0x00 to 0x1F) is delivered, a centre still trying (0x20 to
// 0x3F) has buffered it, any other value is a failure the centre gave up on.
unsigned reportTypeOfStatus(std::uint8_t status);

// The words for a TP-Status in the log, e.g. "status 0x00 (received)".
std::string statusText(std::uint8_t status);

// Whether two spellings name one number: the same digits, or one national
// (leading 0) and one international form whose last digits agree.
bool sameNumber(std::string_view one, std::string_view other);

struct StatusReportsRead
{
    PhoneResult result; // a failure: this phone cannot give its reports
    std::vector<PhoneStatusReport> reports;
};

// A phone that can ask for status reports and read them.
class StatusReportSource
{
public:
    virtual ~StatusReportSource() = default;
    // The references of the messages accepted since the last call, in the
    // order they went; a message the phone gave no reference is left out.
    virtual std::vector<std::uint8_t> takeSentReferences() = 0;
    // The reports that arrived since the last call.
    virtual StatusReportsRead readStatusReports() = 0;
};

// Which push and message of a batch a phone's report speaks of.
class PhoneReportMatcher
{
public:
    // The messages of push `push` went to `recipient` with `references`.
    void sent(std::size_t push, std::string_view recipient,
              const std::vector<std::uint8_t>& references);
    // The report as the batch's tracker takes it; nothing when it names no
    // message of the batch.
    std::optional<DeliveryReport> match(const PhoneStatusReport& report) const;

private:
    struct Sent
    {
        std::string recipient;
        std::size_t push = 0;
        std::size_t message = 0;
    };
    // By reference, oldest first.
    std::multimap<std::uint8_t, Sent> m_sent;
};

} // namespace mailvane::phone
