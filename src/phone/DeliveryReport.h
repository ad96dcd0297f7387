#pragma once

// Delivery reports of a gateway, as its callbacks bring them: which message
// of which push a report is about, what it says, and what the reports of a
// push's messages add up to. Stateless, so that every rule can be checked
// without a gateway.
//
// Each message is submitted with a callback URL of our own that names the
// batch, the push (its index in the batch) and the message (its index in the
// push); the gateway fills in the report's type and the SMSC's text. A
// report is matched by those names, never by the order reports arrive in.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace mailvane::phone {

// The report types of Kannel's dlr-mask and of its callbacks' %d.
namespace report_types {
inline constexpr unsigned Delivered = 1;
inline constexpr unsigned NotDelivered = 2;
inline constexpr unsigned Buffered = 4;
inline constexpr unsigned SmscAccepted = 8;
inline constexpr unsigned SmscRefused = 16;
} // namespace report_types

// What each message asks for: the phone's final word and the SMSC's.
inline constexpr unsigned ReportMask = report_types::Delivered | report_types::NotDelivered |
                                       report_types::SmscAccepted | report_types::SmscRefused;

// Where one message, or a whole push, stands. The order is the order of
// progress: a later report never moves a state back, and the two final
// states never change.
enum class DeliveryState
{
    NoReport,
    Accepted, // by the SMSC (or buffered there), not yet by the phone
    Delivered,
    NotDelivered,
};

bool isFinal(DeliveryState state);

// "no report", "accepted", "delivered", "not delivered": the words of the log.
std::string_view deliveryStateWord(DeliveryState state);
std::optional<DeliveryState> deliveryStateFromWord(std::string_view word);

// What a report of `type` says of its message; NoReport for a type that
// says nothing known.
DeliveryState stateOfReportType(unsigned type);

// A message's state after a report that says `reported`.
DeliveryState advance(DeliveryState current, DeliveryState reported);

// A push is delivered when every message is, not delivered when any one is,
// accepted when every message is at least accepted.
DeliveryState foldPushState(std::span<const DeliveryState> messages);

struct DeliveryReport
{
    std::size_t push = 0;
    std::size_t message = 0;
    unsigned type = 0;
    std::string text; // the SMSC's status text, one line
};

// The callback URL for one message: `base` (http://HOST:PORT/PATH, with or
// without a query) with the batch, push and message named, and the
// gateway's placeholders for the type and the text.
std::string reportCallbackUrl(std::string_view base, std::string_view batch, std::size_t push,
                              std::size_t message);

// Reads a callback's request target ("/path?query"); nothing when it is not
// a report of `batch` (another batch's late report, a stranger's request,
// a malformed one).
std::optional<DeliveryReport> parseReportCallback(std::string_view target, std::string_view batch);

} // namespace mailvane::phone
