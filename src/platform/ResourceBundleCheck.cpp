#include "ResourceBundleCheck.h"

#include <vector>

namespace mailvane::platform {
namespace {

// Node flags of the format.
constexpr std::uint16_t Compressed = 0x01; // zlib, with a 4-byte size before the stream
constexpr std::uint16_t Directory = 0x02;
constexpr std::uint16_t CompressedZstd = 0x04;

class BundleReader
{
public:
    explicit BundleReader(QByteArrayView bytes) : m_bytes(bytes) {}

    qsizetype size() const { return m_bytes.size(); }

    // Whether `count` bytes from `offset` lie inside the bundle.
    bool holds(std::int64_t offset, std::int64_t count) const
    {
        return offset >= 0 && count >= 0 && offset <= m_bytes.size() &&
               count <= m_bytes.size() - offset;
    }

    // A big-endian number of `width` bytes; the caller checked holds().
    std::uint64_t number(std::int64_t offset, int width) const
    {
        std::uint64_t value = 0;
        for (int i = 0; i < width; ++i)
            value = value << 8 | static_cast<std::uint8_t>(m_bytes[offset + i]);
        return value;
    }

private:
    QByteArrayView m_bytes;
};

// The uncompressed size a zstd frame states, or -1 when it states none.
std::int64_t zstdContentSize(const BundleReader& in, std::int64_t at, std::int64_t length)
{
    if (length < 5 || in.number(at, 4) != 0x28B52FFD)
        return -1;
    const auto descriptor = static_cast<std::uint8_t>(in.number(at + 4, 1));
    const int sizeFlag = descriptor >> 6;
    const bool singleSegment = (descriptor & 0x20) != 0;
    static constexpr int DictionaryIdBytes[] = {0, 1, 2, 4};
    const int sizeBytes = sizeFlag == 0 ? (singleSegment ? 1 : 0) : 1 << sizeFlag;
    if (sizeBytes == 0)
        return -1;
    const std::int64_t sizeAt =
        at + 5 + (singleSegment ? 0 : 1) + DictionaryIdBytes[descriptor & 0x03];
    if (sizeAt + sizeBytes > at + length)
        return -1;
    // Little-endian, unlike the rest of the bundle.
    std::uint64_t size = 0;
    for (int i = sizeBytes - 1; i >= 0; --i)
        size = size << 8 | in.number(sizeAt + i, 1);
    if (sizeBytes == 2)
        size += 256;
    return size > static_cast<std::uint64_t>(MaxResourceMemberBytes)
               ? MaxResourceMemberBytes + 1
               : static_cast<std::int64_t>(size);
}

} // namespace

bool isSoundResourceBundle(QByteArrayView bundle)
{
    const BundleReader in(bundle);
    if (in.size() > MaxResourceBundleBytes || !in.holds(0, 20) || bundle.first(4) != "qres")
        return false;
    const std::uint64_t version = in.number(4, 4);
    if (version < 1 || version > 3 || (version == 3 && !in.holds(0, 24)))
        return false;
    const auto tree = static_cast<std::int64_t>(in.number(8, 4));
    const auto data = static_cast<std::int64_t>(in.number(12, 4));
    const auto names = static_cast<std::int64_t>(in.number(16, 4));
    // Name, flags, then count and first child or locale and data offset; later
    // versions add the modification time.
    const std::int64_t nodeSize = version >= 2 ? 22 : 14;

    const auto nodeFits = [&](std::int64_t node) {
        return node < MaxResourceNodes && in.holds(tree + node * nodeSize, nodeSize);
    };
    const auto nameFits = [&](std::int64_t node) {
        const std::int64_t at =
            names + static_cast<std::int64_t>(in.number(tree + node * nodeSize, 4));
        // Length, hash, then the UTF-16 characters.
        return in.holds(at, 6) && in.holds(at + 6, 2 * static_cast<std::int64_t>(in.number(at, 2)));
    };

    if (!nodeFits(0) || !(in.number(tree + 4, 2) & Directory))
        return false;
    std::vector<std::int64_t> pending = {0};
    std::vector<bool> seen;
    std::int64_t listed = 0; // each node is listed once in a bundle rcc made
    while (!pending.empty()) {
        const std::int64_t node = pending.back();
        pending.pop_back();
        if (static_cast<std::size_t>(node) < seen.size() && seen[static_cast<std::size_t>(node)])
            continue;
        if (seen.size() <= static_cast<std::size_t>(node))
            seen.resize(static_cast<std::size_t>(node) + 1, false);
        seen[static_cast<std::size_t>(node)] = true;
        if (!nodeFits(node) || !nameFits(node))
            return false;
        const std::int64_t at = tree + node * nodeSize;
        const auto flags = static_cast<std::uint16_t>(in.number(at + 4, 2));
        if (flags & ~(Compressed | Directory | CompressedZstd))
            return false;
        if (flags & Directory) {
            if (flags != Directory)
                return false;
            const auto count = static_cast<std::int64_t>(in.number(at + 6, 4));
            const auto first = static_cast<std::int64_t>(in.number(at + 10, 4));
            // Children come after their folder, so no folder holds itself.
            listed += count;
            if (listed > MaxResourceNodes ||
                (count > 0 && (first <= node || !nodeFits(first + count - 1))))
                return false;
            for (std::int64_t child = first; child < first + count; ++child)
                pending.push_back(child);
            continue;
        }
        if ((flags & Compressed) && (flags & CompressedZstd))
            return false;
        const std::int64_t member = data + static_cast<std::int64_t>(in.number(at + 10, 4));
        if (!in.holds(member, 4))
            return false;
        const auto length = static_cast<std::int64_t>(in.number(member, 4));
        if (!in.holds(member + 4, length))
            return false;
        if ((flags & Compressed) &&
            (length < 4 || in.number(member + 4, 4) > MaxResourceMemberBytes))
            return false;
        if (flags & CompressedZstd) {
            const std::int64_t size = zstdContentSize(in, member + 4, length);
            if (size < 0 || size > MaxResourceMemberBytes)
                return false;
        }
    }
    return true;
}

} // namespace mailvane::platform
