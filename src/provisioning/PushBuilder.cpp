#include "PushBuilder.h"

#include "HexText.h"
#include "Sha1.h"

#include <algorithm>
#include <array>

namespace mailvane::provisioning {
namespace {

// Transaction id 1, PDU type Push, headers length 47, then the content type:
// length quote, length 45, application/vnd.wap.connectivity-wbxml (0x36) and
// the SEC parameter, whose value follows as a short integer.
constexpr std::string_view PushPrefix = "01062F1F2DB691";
// The MAC parameter, whose text follows.
constexpr std::string_view MacParameter = "92";
constexpr std::string_view MacTerminator = "00";
// A short integer is its value with the top bit set.
constexpr std::uint8_t ShortIntegerFlag = 0x80;

} // namespace

std::string computeMac(std::string_view keyText, std::string_view wbxmlHex)
{
    std::array<std::uint8_t, MacBlockSize> key{};
    std::span<const std::uint8_t> keyBytes(reinterpret_cast<const std::uint8_t*>(keyText.data()),
                                           keyText.size());
    Sha1::Digest hashedKey;
    if (keyBytes.size() > MacBlockSize) {
        Sha1 sha;
        sha.update(keyBytes);
        hashedKey = sha.finish();
        keyBytes = hashedKey;
    }
    std::copy(keyBytes.begin(), keyBytes.end(), key.begin());

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

std::string buildPush(const PushSecurity& security, std::string_view wbxmlHex)
{
    std::string mac = computeMac(security.key, wbxmlHex);
    std::string push;
    push.reserve(PushPrefix.size() + 4 + 2 * mac.size() + MacTerminator.size() + wbxmlHex.size());
    push += PushPrefix;
    const std::array<std::uint8_t, 1> sec = {
        static_cast<std::uint8_t>(ShortIntegerFlag | static_cast<std::uint8_t>(security.method))};
    push += hex::encode(sec);
    push += MacParameter;
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
                                                  std::string_view document,
                                                  const PushSecurity& security)
{
    const auto wbxml = wbxml::encode(document, tables);
    if (!wbxml)
        return std::nullopt;
    std::string push = buildPush(security, *wbxml);
    if (push.size() > MaxPushDigits)
        return std::nullopt;
    return push;
}

} // namespace mailvane::provisioning
