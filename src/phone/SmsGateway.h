#pragma once

// What sending straight to an SMS gateway needs of it, beyond the phone
// service's part: one message and the gateway's verdict, from several threads
// at once, and that verdict in words for people.

#include "PhoneDevice.h"
#include "SendsmsCodec.h"

#include <chrono>
#include <string>

namespace mailvane::phone {

struct GatewayTimeouts
{
    std::chrono::milliseconds connect{5'000};
    std::chrono::milliseconds request{20'000}; // one whole request, answer included
};

class SmsGateway : public PhoneDevice
{
public:
    // Sends one message and waits for the gateway's verdict, never longer
    // than the gateway's request timeout. Safe to call from several threads.
    virtual GatewayAnswer post(const OutgoingMessage& message) = 0;

    // "gateway URL: TEXT (HTTP n)", naming the gateway without its password.
    virtual std::string describe(const GatewayAnswer& answer) const = 0;
};

} // namespace mailvane::phone
