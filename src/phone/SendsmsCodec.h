#pragma once

// The sendsms request for one text message and the reading of smsbox's
// answer. Stateless, so that the request and the verdict can be checked
// without a gateway.

#include "GatewayAddress.h"
#include "PhoneDevice.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace mailvane::phone {

// Kannel's coding value for 8-bit data.
inline constexpr std::string_view SendsmsCoding8Bit = "1";

// Appends `bytes` to `out` with every byte but A-Z a-z 0-9 - . _ ~ written
// as %XX (upper-case hexadecimal).
void appendPercentEncoded(std::string& out, std::span<const std::uint8_t> bytes);
void appendPercentEncoded(std::string& out, std::string_view text);

// The part of the query that is the same for every message of a gateway:
// the credentials, the passed-through parameters and the sender, ending in
// '&' (or empty). Compute once, then append per message.
std::string sendsmsCommonQuery(const GatewayAddress& address);

// The full request URL for `message`: the endpoint, the common query, then
// to, udh (the header bytes with their length byte), text (the user data)
// and coding=1.
std::string sendsmsUrl(const GatewayAddress& address, std::string_view commonQuery,
                       const OutgoingMessage& message);

struct GatewayAnswer
{
    enum class Verdict
    {
        Accepted,    // taken for delivery or queued for later delivery
        Refused,     // the gateway answered, but not with acceptance
        Unreachable, // no answer: refused connection, timeout, broken transfer
        Silent,      // took the connection, gave no answer within the time limit
    };
    // What a refusal means for the batch: whether another try may succeed,
    // and whether it is the gateway's fault or the number's own.
    enum class Refusal
    {
        None,      // accepted
        Temporary, // busy or out of reach for now: worth another try
        Gateway,   // every number would fail the same way: wrong password, wrong URL
        Number,    // this number's own refusal
    };
    Verdict verdict = Verdict::Unreachable;
    long httpStatus = 0; // 0 when there was no answer
    std::string text;    // the gateway's text, or why there was no answer
    Refusal refusal = Refusal::Gateway; // read only when not accepted
    std::optional<std::chrono::seconds> retryAfter; // the answer's Retry-After

    bool accepted() const { return verdict == Verdict::Accepted; }
};

// smsbox answers "0: Accepted for delivery" or "3: Queued for later
// delivery" with HTTP 202 when it took the message; anything else is a
// refusal carrying its text.
GatewayAnswer readSendsmsAnswer(long httpStatus, std::string_view body);

// The delay of a Retry-After header's value in seconds; nothing for a date
// or anything else (a date would need the gateway's clock to agree with ours).
std::optional<std::chrono::seconds> readRetryAfter(std::string_view value);

} // namespace mailvane::phone
