// What the Kannel route reads from outside: the gateway URL the operator
// types and smsbox's answers. A URL is either taken or refused with a reason;
// a taken one never passes on a parameter each message sets itself. Only a
// 202 answer can count as accepted. The percent encoding of any bytes reads
// back, here with a decoder of its own, as those bytes.

#include "FuzzCheck.h"
#include "GatewayAddress.h"
#include "SendsmsCodec.h"

#include <cctype>
#include <fuzzer/FuzzedDataProvider.h>

using namespace mailvane::phone;

namespace {

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1; // the encoder writes upper case only
}

void checkAddress(std::string_view url)
{
    const GatewayAddressResult result = parseGatewayAddress(url);
    FUZZ_CHECK(result.address.has_value() == result.error.empty());
    if (!result.address)
        return;
    const GatewayAddress& address = *result.address;
    FUZZ_CHECK(address.endpoint.starts_with("http://") || address.endpoint.starts_with("https://"));
    for (const auto& [name, value] : address.parameters)
        FUZZ_CHECK(name != "to" && name != "text" && name != "udh" && name != "coding");
    const std::string common = sendsmsCommonQuery(address);
    FUZZ_CHECK(common.empty() || common.back() == '&');
}

void checkAnswer(FuzzedDataProvider& input)
{
    const long status = input.ConsumeIntegralInRange<long>(0, 999);
    const std::string body = input.ConsumeRemainingBytesAsString();
    const GatewayAnswer answer = readSendsmsAnswer(status, body);
    FUZZ_CHECK(!answer.accepted() || status == 202);
    FUZZ_CHECK(answer.httpStatus == status ||
               answer.verdict == GatewayAnswer::Verdict::Unreachable);
}

void checkPercentEncoding(std::string_view bytes)
{
    std::string encoded;
    appendPercentEncoded(encoded, bytes);
    std::string decoded;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c != '%') {
            FUZZ_CHECK(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' ||
                       c == '_' || c == '~');
            decoded.push_back(c);
            continue;
        }
        FUZZ_CHECK(i + 2 < encoded.size());
        const int high = digitValue(encoded[i + 1]);
        const int low = digitValue(encoded[i + 2]);
        FUZZ_CHECK(high >= 0 && low >= 0);
        decoded.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    FUZZ_CHECK(decoded == bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view rest = mailvane::fuzz::textOf(data + 1, size - 1);
    switch (data[0] % 3) {
    case 0:
        checkAddress(rest);
        break;
    case 1: {
        FuzzedDataProvider input(data + 1, size - 1);
        checkAnswer(input);
        break;
    }
    default:
        checkPercentEncoding(rest);
        break;
    }
    return 0;
}
