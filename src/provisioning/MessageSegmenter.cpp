#include "MessageSegmenter.h"

#include "HexText.h"

#include <array>

namespace mailvane::provisioning {
namespace {

// 7 header bytes and the push must fit the 140 bytes of one message.
constexpr std::size_t SingleMessageDigits = 280 - 14;
constexpr std::size_t SegmentDigits = 256; // 128 bytes per message of several

// Application port addressing, 16-bit ports, destination and source 2948.
constexpr std::array<std::uint8_t, 6> PortElement = {0x05, 0x04, 0x0B, 0x84, 0x0B, 0x84};
// Concatenated short message, 8-bit reference.
constexpr std::array<std::uint8_t, 2> ConcatenationElement = {0x00, 0x03};

} // namespace

void MessageSegmenter::countMessages(std::string_view pushHex)
{
    const std::size_t digits = pushHex.size();
    if (digits <= SingleMessageDigits)
        m_messageCount = 1;
    else
        m_messageCount = static_cast<std::uint8_t>((digits + SegmentDigits - 1) / SegmentDigits);
}

std::optional<std::vector<std::uint8_t>> MessageSegmenter::cutSegment(std::string_view pushHex,
                                                                      unsigned index)
{
    const unsigned messageIndex = index % 256;
    if (m_messageCount == 0 || messageIndex >= m_messageCount)
        return std::nullopt;
    std::string_view segment = pushHex;
    if (m_messageCount > 1) {
        const std::size_t start = std::size_t{messageIndex} * SegmentDigits;
        segment =
            start < pushHex.size() ? pushHex.substr(start, SegmentDigits) : std::string_view{};
    }
    m_segmentLength = static_cast<std::uint16_t>(segment.size() + 1);
    return hex::decode(segment);
}

platform::Variant MessageSegmenter::buildHeader(std::uint8_t reference, std::uint8_t sequence) const
{
    platform::Variant header = platform::makeByteArrayVariant({});
    std::vector<std::uint8_t>& bytes = header.bytes;
    if (m_messageCount <= 1) {
        bytes.reserve(1 + PortElement.size());
        bytes.push_back(static_cast<std::uint8_t>(PortElement.size()));
        bytes.insert(bytes.end(), PortElement.begin(), PortElement.end());
    } else {
        bytes.reserve(1 + PortElement.size() + ConcatenationElement.size() + 3);
        bytes.push_back(static_cast<std::uint8_t>(PortElement.size() + 5));
        bytes.insert(bytes.end(), PortElement.begin(), PortElement.end());
        bytes.insert(bytes.end(), ConcatenationElement.begin(), ConcatenationElement.end());
        bytes.push_back(reference);
        bytes.push_back(m_messageCount);
        bytes.push_back(sequence);
    }
    return header;
}

platform::Variant MessageSegmenter::wrapSegment(const std::vector<std::uint8_t>& segment)
{
    return platform::makeByteArrayVariant(segment);
}

platform::Variant MessageSegmenter::wrapSegment(std::vector<std::uint8_t>&& segment)
{
    platform::Variant variant = platform::makeByteArrayVariant({});
    variant.bytes = std::move(segment);
    return variant;
}

std::uint8_t MessageSegmenter::nextReference()
{
    // Wraps after 255 so that no two recent multi-part pushes share a reference.
    return m_reference++;
}

} // namespace mailvane::provisioning
