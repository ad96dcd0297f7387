#pragma once

// Sends pushes through the phone link: one number at a time, as the phone
// back ends work, with the record's `To` field holding the number during
// its send.

#include "EmailSettings.h"
#include "PhoneLink.h"
#include "PushSecurity.h"
#include "PushSender.h"

#include <functional>
#include <string>

namespace mailvane::phone {

// What one number receives: the settings and the key of its push. Neither
// is owned.
struct LinkParcel
{
    settings::EmailSettings* record = nullptr;
    const provisioning::PushSecurity* security = nullptr;
};

class LinkSender final : public PushSender
{
public:
    // The parcel of number i of the batch.
    using ParcelOf = std::function<LinkParcel(std::size_t index)>;

    // The link must outlive the sender, and so must every parcel.
    LinkSender(PhoneLink& link, ParcelOf parcelOf);

    unsigned maxJobs() const override { return 1; }
    PushOutcome send(const PushTicket& ticket) override;

private:
    PhoneLink& m_link;
    ParcelOf m_parcelOf;
};

} // namespace mailvane::phone
