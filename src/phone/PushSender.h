#pragma once

// One way of delivering a push to one number, as a batch of numbers uses it:
// through the phone link one at a time, or straight to a gateway with
// several pushes in flight.

#include <cstddef>
#include <cstdint>
#include <string>

namespace mailvane::phone {

// One number's turn in a batch.
struct PushTicket
{
    std::size_t index = 0; // in the batch's list, from 0
    std::string number;
    std::uint8_t reference = 0; // concatenation reference, where the sender sets it
};

struct PushOutcome
{
    bool sent = false;
    std::string answer; // the last answer on success, the reason on failure
    // Failed for the gateway's sake (down, busy past every retry, refusing
    // everyone), not for the number's own.
    bool gatewayCause = false;
};

class PushSender
{
public:
    virtual ~PushSender() = default;

    // How many pushes may be in flight at once.
    virtual unsigned maxJobs() const = 0;

    // Called once per ticket, one at a time and in list order, before its
    // send: the place to take anything that must follow the list's order.
    virtual void prepare(PushTicket&) {}

    // Sends the ticket's push; may run on several threads at once, up to
    // maxJobs(). The push's messages go in order.
    virtual PushOutcome send(const PushTicket& ticket) = 0;
};

} // namespace mailvane::phone
