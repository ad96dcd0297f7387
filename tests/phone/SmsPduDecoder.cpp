#include "SmsPduDecoder.h"

namespace mailvane::test {
namespace {

std::optional<std::vector<std::uint8_t>> bytesOf(std::string_view hex)
{
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        unsigned value = 0;
        for (int k = 0; k < 2; ++k) {
            const char c = hex[i + static_cast<std::size_t>(k)];
            value <<= 4;
            if (c >= '0' && c <= '9')
                value |= static_cast<unsigned>(c - '0');
            else if (c >= 'A' && c <= 'F')
                value |= static_cast<unsigned>(c - 'A' + 10);
            else if (c >= 'a' && c <= 'f')
                value |= static_cast<unsigned>(c - 'a' + 10);
            else
                return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

std::string digitsOf(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t count)
{
    static constexpr char Digits[] = "0123456789*#abc?";
    std::string digits;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t byte = bytes[at + i / 2];
        digits.push_back(Digits[i % 2 == 0 ? byte & 0x0F : byte >> 4]);
    }
    return digits;
}

} // namespace

std::optional<DecodedSubmit> decodeSubmit(std::string_view pduHex)
{
    const auto bytes = bytesOf(pduHex);
    if (!bytes || bytes->empty())
        return std::nullopt;
    const std::vector<std::uint8_t>& pdu = *bytes;
    DecodedSubmit decoded;
    std::size_t at = 0;
    const std::size_t scaLength = pdu[at++];
    if (at + scaLength > pdu.size())
        return std::nullopt;
    if (scaLength > 1)
        decoded.serviceCentre =
            (pdu[at] == 0x91 ? "+" : "") + digitsOf(pdu, at + 1, (scaLength - 1) * 2);
    if (!decoded.serviceCentre.empty() && decoded.serviceCentre.back() == '?')
        decoded.serviceCentre.pop_back();
    at += scaLength;
    decoded.tpduLength = pdu.size() - at;

    const auto need = [&](std::size_t count) {
        return at + count <= pdu.size();
    };
    if (!need(2))
        return std::nullopt;
    const std::uint8_t first = pdu[at++];
    if ((first & 0x03) != 0x01)
        return std::nullopt; // not a submit
    decoded.userDataHeaderIndicator = (first & 0x40) != 0;
    decoded.statusReportRequested = (first & 0x20) != 0;
    const unsigned validityFormat = (first >> 3) & 0x03;
    decoded.messageReference = pdu[at++];

    if (!need(2))
        return std::nullopt;
    const std::size_t addressDigits = pdu[at++];
    const std::uint8_t addressType = pdu[at++];
    if (!need((addressDigits + 1) / 2))
        return std::nullopt;
    decoded.destination = (addressType == 0x91 ? "+" : "") + digitsOf(pdu, at, addressDigits);
    at += (addressDigits + 1) / 2;

    if (!need(2))
        return std::nullopt;
    decoded.protocolIdentifier = pdu[at++];
    decoded.dataCoding = pdu[at++];
    at += validityFormat == 2 ? 1 : validityFormat == 0 ? 0 : 7;
    if (!need(1))
        return std::nullopt;
    const std::size_t userDataLength = pdu[at++];
    if (at + userDataLength != pdu.size())
        return std::nullopt; // 8-bit data: the length counts octets
    std::size_t headerLength = 0;
    if (decoded.userDataHeaderIndicator) {
        if (userDataLength == 0)
            return std::nullopt; // a header is announced but not even its length is there
        headerLength = 1u + pdu[at];
        if (headerLength > userDataLength)
            return std::nullopt;
        decoded.userDataHeader.assign(pdu.begin() + static_cast<std::ptrdiff_t>(at),
                                      pdu.begin() + static_cast<std::ptrdiff_t>(at + headerLength));
    }
    decoded.userData.assign(pdu.begin() + static_cast<std::ptrdiff_t>(at + headerLength),
                            pdu.end());
    return decoded;
}

} // namespace mailvane::test
