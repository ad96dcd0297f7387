#include "LinkSender.h"

#include "StringTable.h"

#include <cstdio>

namespace mailvane::phone {

LinkSender::LinkSender(PhoneLink& link, ParcelOf parcelOf)
    : m_link(link), m_parcelOf(std::move(parcelOf))
{}

PushOutcome LinkSender::send(const PushTicket& ticket)
{
    const LinkParcel parcel = m_parcelOf(ticket.index);
    // The parcel is built as it is needed, and that may fail.
    if (!parcel.record || !parcel.security)
        return {false, std::string(settings::stringText(settings::strings::SendingErrorMessage))};
    parcel.record->to = ticket.number;
    m_link.setSettings(parcel.record);
    const SendResult failure = m_link.SendSettings(*parcel.security);
    const HRESULT status = failure.status;
    parcel.record->to.reset();
    if (status == platform::S_OK)
        return {true, std::string(settings::stringText(settings::strings::SettingsSentMessage))};
    char code[32];
    std::snprintf(code, sizeof code, " (status 0x%08X)", static_cast<unsigned>(status));
    // As the window words it: a phone that was never reached is not connected.
    if (isUnreachable(status) && failure.message <= 1) {
        std::string answer(settings::stringText(settings::strings::PhoneNotConnectedMessage));
        if (!failure.detail.empty() && answer.ends_with('.'))
            answer.back() = ':';
        if (!failure.detail.empty())
            answer += " " + failure.detail;
        return {false, answer + code};
    }
    return {false, describeFailure(failure) + code};
}

} // namespace mailvane::phone
