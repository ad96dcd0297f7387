#include "GifParser.h"

namespace mailvane::skin {
namespace {

constexpr std::uint8_t ImageDescriptor = 0x2C;
constexpr std::uint8_t Extension = 0x21;
constexpr std::uint8_t GraphicControl = 0xF9;
constexpr std::uint8_t Application = 0xFF;
constexpr int DescriptorLength = 10;
constexpr int ApplicationIdLength = 11;

class Cursor
{
public:
    explicit Cursor(const QByteArray& bytes) : m_bytes(bytes) {}

    qsizetype pos() const { return m_pos; }
    bool has(qsizetype n) const { return n >= 0 && m_bytes.size() - m_pos >= n; }
    std::uint8_t at(qsizetype i) const { return std::uint8_t(m_bytes[m_pos + i]); }
    int word(qsizetype i) const { return at(i) | (at(i + 1) << 8); }
    void skip(qsizetype n) { m_pos += n; }

    // Skips a chain of data sub-blocks including its zero terminator.
    bool skipSubBlocks()
    {
        while (has(1)) {
            const int size = at(0);
            if (!has(1 + size))
                return false;
            skip(1 + size);
            if (size == 0)
                return true;
        }
        return false;
    }

private:
    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
};

int colourTableBytes(std::uint8_t flags)
{
    return (flags & 0x80) ? 3 * (1 << ((flags & 0x07) + 1)) : 0;
}

} // namespace

std::optional<GifStructure> GifParser::parse(const QByteArray& bytes)
{
    Cursor cursor(bytes);
    if (!cursor.has(HeaderLength) || !bytes.startsWith("GIF"))
        return std::nullopt;

    GifStructure gif;
    gif.screenWidth = cursor.word(6);
    gif.screenHeight = cursor.word(8);
    const std::uint8_t flags = cursor.at(10);
    const int backgroundIndex = cursor.at(11);
    cursor.skip(HeaderLength);
    // A file without a global table has no background entry to read; black
    // stands in for it rather than bytes from whatever follows the header.
    const int tableBytes = colourTableBytes(flags);
    if (!cursor.has(tableBytes))
        return std::nullopt;
    if (tableBytes > 0 && backgroundIndex * 3 + 2 < tableBytes) {
        const qsizetype entry = cursor.pos() + backgroundIndex * 3;
        gif.background = qRgb(std::uint8_t(bytes[entry]), std::uint8_t(bytes[entry + 1]),
                              std::uint8_t(bytes[entry + 2]));
    }
    cursor.skip(tableBytes);

    GifFrameInfo pending;
    while (cursor.has(1) && gif.frames.size() < MaxFrames) {
        const std::uint8_t block = cursor.at(0);
        if (block == ImageDescriptor) {
            if (!cursor.has(DescriptorLength))
                break;
            GifFrameInfo frame = pending;
            frame.offset = cursor.pos();
            frame.left = cursor.word(1);
            frame.top = cursor.word(3);
            frame.width = cursor.word(5);
            frame.height = cursor.word(7);
            const int localTable = colourTableBytes(cursor.at(9));
            cursor.skip(DescriptorLength);
            if (!cursor.has(localTable + 1))
                break;
            cursor.skip(localTable + 1); // table and LZW code size
            if (!cursor.skipSubBlocks())
                break;
            frame.length = cursor.pos() - frame.offset;
            if (gif.frames.isEmpty())
                gif.prefixLength = frame.offset;
            gif.frames.append(frame);
            pending = GifFrameInfo();
        } else if (block == Extension) {
            if (!cursor.has(2))
                break;
            const std::uint8_t label = cursor.at(1);
            cursor.skip(2);
            if (label == GraphicControl && cursor.has(5) && cursor.at(0) == 4) {
                pending.hasControl = true;
                for (int i = 0; i < 4; ++i)
                    pending.control[i] = cursor.at(1 + i);
                pending.disposal = (pending.control[0] >> 2) & 0x07;
                pending.delay = pending.control[1] | (pending.control[2] << 8);
                pending.transparent = (pending.control[0] & 0x01) ? pending.control[3] : -1;
            } else if (label == Application && cursor.has(1 + ApplicationIdLength + 4) &&
                       cursor.at(0) == ApplicationIdLength) {
                const qsizetype data = 1 + ApplicationIdLength;
                if (cursor.at(data) == 3 && cursor.at(data + 1) == 1)
                    gif.loopCount = cursor.word(data + 2) + 1;
            }
            if (!cursor.skipSubBlocks())
                break;
        } else {
            break; // the trailer or anything unknown ends the walk
        }
    }
    return gif;
}

} // namespace mailvane::skin
