#include "PictureGate.h"

#include "PictureLimits.h"

#include <algorithm>

namespace mailvane::skin {
namespace {

// Reads fixed-width numbers; every caller checks first that they lie inside.
class Header
{
public:
    explicit Header(const QByteArray& bytes) : m_bytes(bytes) {}

    bool has(qint64 at, qint64 length) const
    {
        return at >= 0 && length >= 0 && at <= m_bytes.size() - length;
    }
    quint32 byte(qint64 at) const { return quint8(m_bytes[qsizetype(at)]); }
    quint32 little16(qint64 at) const { return byte(at) | byte(at + 1) << 8; }
    quint32 little32(qint64 at) const { return little16(at) | little16(at + 2) << 16; }
    quint32 big16(qint64 at) const { return byte(at) << 8 | byte(at + 1); }
    quint32 big32(qint64 at) const { return big16(at) << 16 | big16(at + 2); }
    bool startsWith(qint64 at, QByteArrayView text) const
    {
        return has(at, text.size()) && QByteArrayView(m_bytes).sliced(at, text.size()) == text;
    }

private:
    const QByteArray& m_bytes;
};

// A signed 32-bit field, as a side: either sign gives the same extent.
qint64 extentOf(quint32 field)
{
    const auto value = qint64(qint32(field));
    return value < 0 ? -value : value;
}

constexpr QByteArrayView PngSignature("\x89PNG\r\n\x1A\n", 8);

std::optional<StatedSize> pngSize(const Header& in, qint64 start)
{
    // Signature, then the header chunk: length, "IHDR", width, height.
    if (!in.startsWith(start, PngSignature))
        return std::nullopt;
    if (!in.startsWith(start + 12, "IHDR") || !in.has(start + 16, 8))
        return StatedSize{};
    return StatedSize{in.big32(start + 16), in.big32(start + 20)};
}

std::optional<StatedSize> gifSize(const Header& in)
{
    constexpr qint64 HeaderLength = 13;
    if (!in.startsWith(0, "GIF") || !in.has(0, HeaderLength))
        return std::nullopt;
    StatedSize size{in.little16(6), in.little16(8)};
    const quint32 flags = in.byte(10);
    qint64 at = HeaderLength + ((flags & 0x80) ? 3 * (qint64{2} << (flags & 0x07)) : 0);
    // Extensions may come before the first frame; any other block ends the walk.
    while (in.has(at, 1)) {
        if (in.byte(at) == 0x2C) {
            if (in.has(at, 10)) {
                size.width =
                    std::max<qint64>(size.width, in.little16(at + 1) + in.little16(at + 5));
                size.height =
                    std::max<qint64>(size.height, in.little16(at + 3) + in.little16(at + 7));
            }
            break;
        }
        if (in.byte(at) != 0x21)
            break;
        at += 2;
        while (in.has(at, 1) && in.byte(at) != 0)
            at += 1 + in.byte(at);
        at += 1;
    }
    return size;
}

std::optional<StatedSize> bmpSize(const Header& in)
{
    constexpr qint64 Info = 14; // past the file header
    constexpr quint32 CoreHeaderLength = 12;
    if (!in.startsWith(0, "BM") || !in.has(Info, 4))
        return std::nullopt;
    if (in.little32(Info) == CoreHeaderLength)
        return in.has(Info + 4, 4)
                   ? std::optional(StatedSize{in.little16(Info + 4), in.little16(Info + 6)})
                   : std::nullopt;
    if (!in.has(Info + 4, 8))
        return std::nullopt;
    return StatedSize{extentOf(in.little32(Info + 4)), extentOf(in.little32(Info + 8))};
}

std::optional<StatedSize> jpegSize(const Header& in)
{
    if (!in.has(0, 2) || in.big16(0) != 0xFFD8)
        return std::nullopt;
    qint64 at = 2;
    while (in.has(at, 2)) {
        if (in.byte(at) != 0xFF)
            return std::nullopt;
        const quint32 marker = in.byte(at + 1);
        at += 2;
        if (marker == 0xFF) { // fill byte
            at -= 1;
            continue;
        }
        const bool standAlone = marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);
        if (standAlone)
            continue;
        if (marker == 0xD9 || marker == 0xDA || !in.has(at, 2))
            return std::nullopt; // no frame header before the image data
        const bool frameHeader =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frameHeader)
            return in.has(at, 7) ? std::optional(StatedSize{in.big16(at + 5), in.big16(at + 3)})
                                 : std::nullopt;
        const quint32 length = in.big16(at);
        if (length < 2)
            return std::nullopt;
        at += length;
    }
    return std::nullopt;
}

std::optional<StatedSize> iconSize(const Header& in)
{
    constexpr qint64 Entry = 6; // the first directory entry
    constexpr qint64 EntryLength = 16;
    if (!in.has(0, Entry + EntryLength) || in.little16(0) != 0 ||
        (in.little16(2) != 1 && in.little16(2) != 2) || in.little16(4) == 0)
        return std::nullopt;
    const auto side = [](quint32 stated) {
        return qint64(stated == 0 ? 256 : stated);
    };
    const qint64 width = side(in.byte(Entry));
    const qint64 height = side(in.byte(Entry + 1));
    const qint64 image = in.little32(Entry + 12);
    if (in.startsWith(image, PngSignature))
        return pngSize(in, image);
    // A bitmap header: its size, width, height of colour and mask rows together.
    if (!in.has(image, 12))
        return std::nullopt;
    return StatedSize{std::max(width, extentOf(in.little32(image + 4))),
                      std::max(height, extentOf(in.little32(image + 8)) / 2)};
}

} // namespace

std::optional<StatedSize> PictureGate::statedSize(PictureFormat format, const QByteArray& bytes)
{
    const Header in(bytes);
    switch (format) {
    case PictureFormat::Png:
        return pngSize(in, 0);
    case PictureFormat::Gif:
        return gifSize(in);
    case PictureFormat::Bmp:
        return bmpSize(in);
    case PictureFormat::Jpeg:
        return jpegSize(in);
    case PictureFormat::Icon:
        return iconSize(in);
    }
    return std::nullopt;
}

bool PictureGate::admits(PictureFormat format, const QByteArray& bytes)
{
    const std::optional<StatedSize> size = statedSize(format, bytes);
    return size && isWithinPictureLimit(size->width, size->height);
}

bool PictureGate::admits(const QImage& picture)
{
    return !picture.isNull() && isWithinPictureLimit(picture.width(), picture.height());
}

} // namespace mailvane::skin
