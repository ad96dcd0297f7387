#include "LinkSender.h"

#include "SendingLoop.h"

#include <cstdio>

namespace mailvane::phone {

LinkSender::LinkSender(PhoneLink& link, ParcelOf parcelOf)
    : m_link(link), m_parcelOf(std::move(parcelOf))
{}

PushOutcome LinkSender::send(const PushTicket& ticket)
{
    const LinkParcel parcel = m_parcelOf(ticket.index);
    parcel.record->to = ticket.number;
    m_link.setSettings(parcel.record);
    const HRESULT status = m_link.SendSettings(*parcel.security);
    parcel.record->to.reset();

    SendingOutcome outcome;
    outcome.sent = status == platform::S_OK;
    outcome.lastStatus = status;
    outcome.numbersSent = outcome.sent ? 1 : 0;
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(status));
    return {outcome.sent, std::string(outcomeText(outcome)) + " (status " + code + ")"};
}

} // namespace mailvane::phone
