#include "PictureLoader.h"

#include "PictureGate.h"

#include <QBuffer>
#include <QImageReader>
#include <optional>

namespace mailvane::skin {
namespace {

enum class Accept
{
    AnyKnown,
    BitmapOnly,
};

std::optional<PictureFormat> knownFormat(const QByteArray& name)
{
    if (name == "bmp")
        return PictureFormat::Bmp;
    if (name == "gif")
        return PictureFormat::Gif;
    if (name == "jpeg" || name == "jpg")
        return PictureFormat::Jpeg;
    if (name == "ico")
        return PictureFormat::Icon;
    return std::nullopt;
}

QImage read(const QByteArray& bytes, Accept accept)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    const std::optional<PictureFormat> format = knownFormat(reader.format());
    if (!format || (accept == Accept::BitmapOnly && *format != PictureFormat::Bmp))
        return {};
    if (!PictureGate::admits(*format, bytes))
        return {};
    QImage picture = reader.read();
    return PictureGate::admits(picture) ? picture : QImage();
}

} // namespace

QImage PictureLoader::fromBytes(const QByteArray& bytes)
{
    return read(bytes, Accept::AnyKnown);
}

QImage PictureLoader::fromBitmap(const QByteArray& bytes)
{
    return read(bytes, Accept::BitmapOnly);
}

} // namespace mailvane::skin
