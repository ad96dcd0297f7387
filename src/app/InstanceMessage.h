#pragma once

// What a second start of the program tells the running one over the local
// socket: "come to the front", or "come to the front and open this file".
// One message per connection, as bytes:
//
//   "mailvane/1 raise\n"
//   "mailvane/1 open <length>\n" followed by <length> bytes of an absolute path
//
// The length is decimal, without leading zeros, from 1 to MaxPathBytes. The
// path is the file name's bytes as the file system holds them; it may hold
// any byte but NUL, line breaks included. Either header may end in
// " <token length>" (1 to MaxTokenBytes), and the activation token the later
// start was launched with (XDG_ACTIVATION_TOKEN, printable ASCII without
// blanks) then follows the path, or the header of a raise: a Wayland
// compositor lets the running window come forward with it. Nothing may
// follow the message.
//
// Stateless and free of Qt, so that it can be tested and fuzzed on its own.

#include <climits>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace mailvane::app::instance_message {

// The system's PATH_MAX less its terminator: no longer path can be opened.
inline constexpr std::size_t MaxPathBytes = PATH_MAX - 1;
// Longer activation tokens are not passed on.
inline constexpr std::size_t MaxTokenBytes = 255;
// The longest first line: the open header with the largest lengths.
inline constexpr std::size_t MaxHeaderBytes = 32;
inline constexpr std::size_t MaxMessageBytes = MaxHeaderBytes + MaxPathBytes + MaxTokenBytes;

// The running program's answer, one line: taken, or refused with a reason.
inline constexpr std::string_view Accepted = "ok\n";
inline constexpr std::string_view RefusedPrefix = "refused: ";

// How long a later start waits for the running program to take its request.
inline constexpr int ForwardTimeoutMs = 10000;

enum class Kind
{
    Raise,
    Open,
};

struct Request
{
    Kind kind = Kind::Raise;
    std::string path;            // Open only
    std::string activationToken; // may be empty
};

enum class Status
{
    Complete,   // one whole message, nothing after it
    Incomplete, // a beginning of a message: wait for more bytes
    Invalid,    // never a message, whatever follows; see `problem`
};

struct ParseResult
{
    Status status = Status::Incomplete;
    Request request;     // Complete only
    std::string problem; // Invalid only: why, in words for a person
};

// Whether an activation token can travel: 1 to MaxTokenBytes printable ASCII
// characters without blanks.
bool tokenCanTravel(std::string_view token);

// The bytes of `request`; nothing when its path cannot travel (empty, not
// absolute, longer than MaxPathBytes, or holding a NUL) or its token (not
// empty and not travelling).
std::optional<std::string> encode(const Request& request);

// Reads what has arrived so far on one connection.
ParseResult parse(std::string_view bytes);

// What a later start makes of the running program's answer, `answer` being
// all that arrived within `timeoutMs`: nothing when the request was taken,
// otherwise why not, in words for a person.
std::optional<std::string> answerProblem(std::string_view answer, int timeoutMs);

} // namespace mailvane::app::instance_message
