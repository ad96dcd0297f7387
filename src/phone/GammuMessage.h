#pragma once

// Turns a message as the program describes it into the SMS libgammu sends.

#include "PhoneDevice.h"
#include "PhoneReports.h"

#include <gammu.h>
#include <memory>
#include <optional>

namespace mailvane::phone {

// The message as an 8-bit SMS for the phone's own service centre, its header
// handed over as it is; null when libgammu cannot carry it: a coding other
// than 8-bit data (0x04 or 0xF4 to 0xF7), a header or data longer than
// libgammu's buffers, or a recipient that is not a dialable number.
std::unique_ptr<GSM_SMSMessage> toGammuMessage(const OutgoingMessage& message);

// The status report that a message read from the phone is; nothing for any
// other kind of message.
std::optional<PhoneStatusReport> statusReportOf(const GSM_SMSMessage& sms);

} // namespace mailvane::phone
