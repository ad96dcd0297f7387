#pragma once

// SMS-SUBMIT transfer PDUs (3GPP TS 23.040) as an AT modem takes them in PDU
// mode: a zero-length service-centre address ("use the phone's own") first.

#include "Recipients.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace mailvane::phone {

struct SmsSubmit
{
    std::string_view destination; // digits, '*', '#', an optional leading '+'
    std::uint8_t dataCoding = 0;
    bool statusReport = false;
    std::uint8_t messageReference = 0;
    std::span<const std::uint8_t> userDataHeader; // with its length byte first; may be empty
    std::span<const std::uint8_t> userData;       // 8-bit data
};

// Longest destination address, in digits: the longest number a recipient
// may have.
inline constexpr std::size_t MaxAddressDigits = settings::MaxNumberDigits;
// Header and data of one message together.
inline constexpr std::size_t MaxUserDataBytes = 140;

// The PDU bytes, or nothing when the destination is not a dialable number or
// the header and data do not fit one message.
std::optional<std::vector<std::uint8_t>> encodeSmsSubmit(const SmsSubmit& message);

} // namespace mailvane::phone
