#pragma once

#include "Variant.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace mailvane::provisioning {

// Cuts a push into 8-bit text messages addressed to the WAP push port and
// builds their user-data headers. Holds the segmentation state of one link:
// the message count, the length of the segment last cut and the
// concatenation reference.
class MessageSegmenter
{
public:
    void countMessages(std::string_view pushHex);
    std::uint8_t messageCount() const { return m_messageCount; }

    // The user-data bytes of message `index` (0-based, taken modulo 256), or
    // nothing when the index is not below the message count.
    std::optional<std::vector<std::uint8_t>> cutSegment(std::string_view pushHex, unsigned index);
    std::uint16_t segmentLength() const { return m_segmentLength; }

    // The user-data header for message `sequence` (from 1) of the current count,
    // as VT_ARRAY | VT_UI1.
    platform::Variant buildHeader(std::uint8_t reference, std::uint8_t sequence) const;

    static platform::Variant wrapSegment(const std::vector<std::uint8_t>& segment);
    // The same without a copy, for a segment the caller no longer needs.
    static platform::Variant wrapSegment(std::vector<std::uint8_t>&& segment);

    // The reference for the next push; advances modulo 256.
    std::uint8_t nextReference();

private:
    std::uint8_t m_messageCount = 0;
    std::uint16_t m_segmentLength = 0;
    std::uint8_t m_reference = 1;
};

} // namespace mailvane::provisioning
