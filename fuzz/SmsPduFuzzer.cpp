// SMS-SUBMIT both ways: the decoder the tests read the phone's output with
// takes any text, and every message the encoder accepts decodes to itself.

#include "FuzzCheck.h"
#include "SmsPduDecoder.h"
#include "SmsSubmitPdu.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace mailvane;

namespace {

std::string hexOf(const std::vector<std::uint8_t>& bytes)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t byte : bytes) {
        text.push_back(Digits[byte >> 4]);
        text.push_back(Digits[byte & 0x0F]);
    }
    return text;
}

void decodeAnyText(std::string_view text)
{
    const auto decoded = test::decodeSubmit(text);
    if (!decoded)
        return;
    FUZZ_CHECK(decoded->userData.size() + decoded->userDataHeader.size() <= 255);
    FUZZ_CHECK(decoded->tpduLength <= text.size() / 2);
}

void encodeAndDecode(FuzzedDataProvider& input)
{
    // Mostly dialable characters, some not.
    std::string destination = input.ConsumeBool() ? "+" : "";
    const std::size_t digits = input.ConsumeIntegralInRange<std::size_t>(0, 24);
    for (std::size_t i = 0; i < digits; ++i)
        destination.push_back(input.ConsumeBool()
                                  ? "0123456789*#"[input.ConsumeIntegralInRange(0, 11)]
                                  : input.ConsumeIntegral<char>());
    const std::uint8_t dataCoding = input.ConsumeIntegral<std::uint8_t>();
    const bool statusReport = input.ConsumeBool();
    const std::uint8_t reference = input.ConsumeIntegral<std::uint8_t>();
    std::vector<std::uint8_t> header;
    if (input.ConsumeBool()) {
        header = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 40));
        header.insert(header.begin(), static_cast<std::uint8_t>(header.size()));
    }
    const std::vector<std::uint8_t> userData =
        input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 150));

    const auto pdu = phone::encodeSmsSubmit({.destination = destination,
                                             .dataCoding = dataCoding,
                                             .statusReport = statusReport,
                                             .messageReference = reference,
                                             .userDataHeader = header,
                                             .userData = userData});
    std::string_view number = destination;
    if (!number.empty() && number.front() == '+')
        number.remove_prefix(1);
    const bool dialable = !number.empty() && number.size() <= phone::MaxAddressDigits &&
                          number.find_first_not_of("0123456789*#") == std::string_view::npos;
    const bool fits = header.size() + userData.size() <= phone::MaxUserDataBytes;
    FUZZ_CHECK(pdu.has_value() == (dialable && fits));
    if (!pdu)
        return;
    const auto decoded = test::decodeSubmit(hexOf(*pdu));
    FUZZ_CHECK(decoded.has_value());
    FUZZ_CHECK(decoded->serviceCentre.empty());
    FUZZ_CHECK(decoded->destination == destination);
    FUZZ_CHECK(decoded->dataCoding == dataCoding);
    FUZZ_CHECK(decoded->statusReportRequested == statusReport);
    FUZZ_CHECK(decoded->messageReference == reference);
    FUZZ_CHECK(decoded->protocolIdentifier == 0);
    FUZZ_CHECK(decoded->userDataHeaderIndicator == !header.empty());
    FUZZ_CHECK(decoded->userDataHeader == header);
    FUZZ_CHECK(decoded->userData == userData);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    if (size == 0)
        return 0;
    if (data[0] & 1) {
        decodeAnyText(fuzz::textOf(data + 1, size - 1));
    } else {
        FuzzedDataProvider input(data + 1, size - 1);
        encodeAndDecode(input);
    }
    return 0;
}
