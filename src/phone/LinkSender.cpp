#include "LinkSender.h"

#include "SendingLoop.h"

#include <cstdio>

namespace mailvane::phone {

LinkSender::LinkSender(PhoneLink& link, settings::EmailSettings& record, std::string pin)
    : m_link(link), m_record(record), m_pin(std::move(pin))
{}

PushOutcome LinkSender::send(const PushTicket& ticket)
{
    m_record.to = ticket.number;
    m_link.setSettings(&m_record);
    const HRESULT status = m_link.SendSettings(m_pin);
    m_record.to.reset();

    SendingOutcome outcome;
    outcome.sent = status == platform::S_OK;
    outcome.lastStatus = status;
    outcome.numbersSent = outcome.sent ? 1 : 0;
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(status));
    return {outcome.sent, std::string(outcomeText(outcome)) + " (status " + code + ")"};
}

} // namespace mailvane::phone
