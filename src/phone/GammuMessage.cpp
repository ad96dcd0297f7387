#include "GammuMessage.h"

#include "GammuText.h"

#include <cstring>

namespace mailvane::phone {

std::unique_ptr<GSM_SMSMessage> toGammuMessage(const OutgoingMessage& message)
{
    auto sms = std::make_unique<GSM_SMSMessage>();
    std::memset(sms.get(), 0, sizeof *sms);
    GSM_SetDefaultSMSData(sms.get());
    // 8-bit data; the class lives in the low bits of a 0xF? coding.
    if ((message.dataCoding & 0xFC) == 0xF4)
        sms->Class = static_cast<signed char>(message.dataCoding & 0x03);
    else if (message.dataCoding == 0x04)
        sms->Class = -1;
    else
        return nullptr;
    sms->Coding = SMS_Coding_8bit;
    sms->PDU = message.statusReport ? SMS_Status_Report : SMS_Submit;
    sms->SMSC.Location = 1; // the phone's own service centre
    if (message.userDataHeader.size() > GSM_MAX_UDH_LENGTH ||
        message.userData.size() > GSM_MAX_SMS_LENGTH)
        return nullptr;
    // Our header already carries the ports and the concatenation; libgammu
    // copies a user header as it is and adds nothing of its own.
    sms->UDH.Type = message.userDataHeader.empty() ? UDH_NoUDH : UDH_UserUDH;
    sms->UDH.Length = static_cast<int>(message.userDataHeader.size());
    // An empty vector's data() may be null, which memcpy must never see.
    if (!message.userDataHeader.empty())
        std::memcpy(sms->UDH.Text, message.userDataHeader.data(), message.userDataHeader.size());
    sms->Length = static_cast<int>(message.userData.size());
    if (!message.userData.empty())
        std::memcpy(sms->Text, message.userData.data(), message.userData.size());
    if (!toGammuNumber(message.recipient, sms->Number, sizeof sms->Number))
        return nullptr;
    return sms;
}

std::optional<PhoneStatusReport> statusReportOf(const GSM_SMSMessage& sms)
{
    if (sms.PDU != SMS_Status_Report)
        return std::nullopt;
    PhoneStatusReport report;
    // A number is digits, '+', '*' and '#': one byte each.
    for (const char16_t unit : fromGammuText(sms.Number, sizeof sms.Number)) {
        if (unit < 0x80)
            report.recipient.push_back(static_cast<char>(unit));
    }
    report.reference = sms.MessageReference;
    report.status = sms.DeliveryStatus;
    return report;
}

} // namespace mailvane::phone
