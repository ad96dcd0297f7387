// The push around any WBXML bytes and its cutting into messages: the MAC is
// the same with and without the processor's SHA instructions, and the
// messages put back together are the push, each within one text message.

#include "FuzzCheck.h"
#include "HexText.h"
#include "MessageSegmenter.h"
#include "PushBuilder.h"
#include "Sha1.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace mailvane::provisioning;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    // PINs past the HMAC block size are hashed first: reach both branches.
    const std::string pin = input.ConsumeRandomLengthString(80);
    const std::vector<std::uint8_t> wbxml = input.ConsumeRemainingBytes<std::uint8_t>();
    const std::string wbxmlHex = hex::encode(wbxml);

    Sha1::setShaInstructionsAllowed(false);
    const std::string portable = buildPush(userPinSecurity(pin), wbxmlHex);
    FUZZ_CHECK(Sha1::digestText(wbxml) == hex::encode([&] {
                   Sha1 pieces;
                   std::span<const std::uint8_t> rest(wbxml);
                   for (std::size_t step = 1; !rest.empty(); step = step % 67 + 3) {
                       const std::size_t take = std::min(step, rest.size());
                       pieces.update(rest.first(take));
                       rest = rest.subspan(take);
                   }
                   return pieces.finish();
               }()));
    Sha1::setShaInstructionsAllowed(true);
    const std::string push = buildPush(userPinSecurity(pin), wbxmlHex);
    FUZZ_CHECK(push == portable);
    // Prefix, 40 MAC characters as 80 digits, their terminator, then the WBXML.
    FUZZ_CHECK(push.size() == 18 + 80 + 2 + wbxmlHex.size());
    FUZZ_CHECK(push.compare(push.size() - wbxmlHex.size(), wbxmlHex.size(), wbxmlHex) == 0);

    if (push.size() > MaxPushDigits)
        return 0; // the encoder refuses such a push before it is cut

    MessageSegmenter segmenter;
    segmenter.countMessages(push);
    const unsigned count = segmenter.messageCount();
    FUZZ_CHECK(count >= 1);
    const std::vector<std::uint8_t> pushBytes = hex::decode(push);
    std::vector<std::uint8_t> joined;
    for (unsigned i = 0; i < count; ++i) {
        const auto segment = segmenter.cutSegment(push, i);
        FUZZ_CHECK(segment.has_value());
        const auto header = segmenter.buildHeader(7, static_cast<std::uint8_t>(i + 1));
        FUZZ_CHECK(!header.bytes.empty() && header.bytes[0] + 1u == header.bytes.size());
        FUZZ_CHECK(header.bytes.size() + segment->size() <= 140);
        FUZZ_CHECK(count == 1 || !segment->empty());
        joined.insert(joined.end(), segment->begin(), segment->end());
    }
    FUZZ_CHECK(!segmenter.cutSegment(push, count).has_value());
    FUZZ_CHECK(joined == pushBytes);
    return 0;
}
