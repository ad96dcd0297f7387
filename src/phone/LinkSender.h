#pragma once

// Sends a push through the phone link: one number at a time, as the phone
// back ends work, with the record's `To` field holding the number during
// its send.

#include "EmailSettings.h"
#include "PhoneLink.h"
#include "PushSender.h"

#include <string>

namespace mailvane::phone {

class LinkSender final : public PushSender
{
public:
    // Neither is owned; both must outlive the sender.
    LinkSender(PhoneLink& link, settings::EmailSettings& record, std::string pin);

    unsigned maxJobs() const override { return 1; }
    PushOutcome send(const PushTicket& ticket) override;

private:
    PhoneLink& m_link;
    settings::EmailSettings& m_record;
    std::string m_pin;
};

} // namespace mailvane::phone
