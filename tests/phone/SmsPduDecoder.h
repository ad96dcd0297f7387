#pragma once

// Reads an SMS-SUBMIT PDU as a modem receives it in PDU mode (service-centre
// address first), the way a network would, to check what was put on the air.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mailvane::test {

struct DecodedSubmit
{
    std::string serviceCentre;  // "" when the phone's own is used
    std::size_t tpduLength = 0; // bytes after the service-centre address
    bool userDataHeaderIndicator = false;
    bool statusReportRequested = false;
    std::uint8_t messageReference = 0;
    std::string destination; // with '+' for international numbers
    std::uint8_t protocolIdentifier = 0;
    std::uint8_t dataCoding = 0;
    std::vector<std::uint8_t> userDataHeader; // with its length byte
    std::vector<std::uint8_t> userData;
};

// Nothing when the text is not hexadecimal or not a well-formed SMS-SUBMIT
// with 8-bit data.
std::optional<DecodedSubmit> decodeSubmit(std::string_view pduHex);

} // namespace mailvane::test
