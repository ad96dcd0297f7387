#include "SmsSubmitPdu.h"

namespace mailvane::phone {
namespace {

constexpr std::uint8_t MessageTypeSubmit = 0x01;
constexpr std::uint8_t StatusReportRequest = 0x20;
constexpr std::uint8_t UserDataHeaderIndicator = 0x40;
constexpr std::uint8_t TypeInternational = 0x91;
constexpr std::uint8_t TypeUnknown = 0x81;

std::optional<std::uint8_t> semiOctet(char digit)
{
    if (digit >= '0' && digit <= '9')
        return static_cast<std::uint8_t>(digit - '0');
    if (digit == '*')
        return 0x0A;
    if (digit == '#')
        return 0x0B;
    return std::nullopt;
}

} // namespace

std::optional<std::vector<std::uint8_t>> encodeSmsSubmit(const SmsSubmit& message)
{
    std::string_view digits = message.destination;
    const bool international = !digits.empty() && digits.front() == '+';
    if (international)
        digits.remove_prefix(1);
    if (digits.empty() || digits.size() > MaxAddressDigits)
        return std::nullopt;
    if (message.userDataHeader.size() + message.userData.size() > MaxUserDataBytes)
        return std::nullopt;

    std::vector<std::uint8_t> pdu;
    pdu.push_back(0x00); // service centre: the phone's default
    std::uint8_t first = MessageTypeSubmit;
    if (message.statusReport)
        first |= StatusReportRequest;
    if (!message.userDataHeader.empty())
        first |= UserDataHeaderIndicator;
    pdu.push_back(first);
    pdu.push_back(message.messageReference);
    pdu.push_back(static_cast<std::uint8_t>(digits.size()));
    pdu.push_back(international ? TypeInternational : TypeUnknown);
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const auto low = semiOctet(digits[i]);
        const auto high =
            i + 1 < digits.size() ? semiOctet(digits[i + 1]) : std::optional<std::uint8_t>(0x0F);
        if (!low || !high)
            return std::nullopt;
        pdu.push_back(static_cast<std::uint8_t>(*low | (*high << 4)));
    }
    pdu.push_back(0x00); // protocol identifier
    pdu.push_back(message.dataCoding);
    pdu.push_back(
        static_cast<std::uint8_t>(message.userDataHeader.size() + message.userData.size()));
    pdu.insert(pdu.end(), message.userDataHeader.begin(), message.userDataHeader.end());
    pdu.insert(pdu.end(), message.userData.begin(), message.userData.end());
    return pdu;
}

} // namespace mailvane::phone
