#include "PushBuilder.h"

#include "HexText.h"
#include "Sha1.h"

#include <algorithm>
#include <array>

namespace mailvane::provisioning {
namespace {

// Transaction id 1, PDU type Push, headers length 47, then the content type:
// length quote, length 45, application/vnd.wap.connectivity-wbxml (0x36),
// SEC = USERPIN, and the MAC parameter whose text follows.
constexpr std::string_view PushPrefix = "01062F1F2DB6918192";
constexpr std::string_view MacTerminator = "00";

} // namespace

std::string computeMac(std::string_view pin, std::string_view wbxmlHex)
{
    std::array<std::uint8_t, MacBlockSize> key{};
    std::span<const std::uint8_t> pinBytes(reinterpret_cast<const std::uint8_t*>(pin.data()),
                                           pin.size());
    Sha1::Digest hashedKey;
    if (pinBytes.size() > MacBlockSize) {
        Sha1 sha;
        sha.update(pinBytes);
        hashedKey = sha.finish();
        pinBytes = hashedKey;
    }
    std::copy(pinBytes.begin(), pinBytes.end(), key.begin());

    std::array<std::uint8_t, MacBlockSize> innerPad;
    std::array<std::uint8_t, MacBlockSize> outerPad;
    for (std::size_t i = 0; i < MacBlockSize; ++i) {
        innerPad[i] = key[i] ^ 0x36;
        outerPad[i] = key[i] ^ 0x5C;
    }
    Sha1 inner;
    inner.update(innerPad);
    // The message is the WBXML's bytes; decoded a piece at a time, it never
    // needs a buffer of its own.
    std::array<std::uint8_t, 512> piece;
    for (std::size_t at = 0; at + 1 < wbxmlHex.size(); at += 2 * piece.size()) {
        const std::size_t count =
            hex::decodeInto(wbxmlHex.substr(at, 2 * piece.size()), piece.data());
        inner.update(std::span(piece).first(count));
    }
    const Sha1::Digest innerDigest = inner.finish();

    Sha1 outer;
    outer.update(outerPad);
    outer.update(innerDigest);
    return hex::encode(outer.finish());
}

std::string buildPush(std::string_view pin, std::string_view wbxmlHex)
{
    std::string mac = computeMac(pin, wbxmlHex);
    std::string push;
    push.reserve(PushPrefix.size() + 2 * mac.size() + MacTerminator.size() + wbxmlHex.size());
    push += PushPrefix;
    // The MAC travels as upper-case ASCII text: each digit becomes its character code.
    for (char& digit : mac) {
        if (digit >= 'a')
            digit = static_cast<char>(digit - 'a' + 'A');
    }
    hex::append(mac, push);
    push += MacTerminator;
    push += wbxmlHex;
    return push;
}

std::optional<std::string> encodeProvisioningPush(const TokenTables& tables,
                                                  std::string_view document, std::string_view pin)
{
    const auto wbxml = wbxml::encode(document, tables);
    if (!wbxml)
        return std::nullopt;
    std::string push = buildPush(pin, *wbxml);
    if (push.size() > MaxPushDigits)
        return std::nullopt;
    return push;
}

} // namespace mailvane::provisioning
