#include "PictureLoader.h"

#include "PictureLimits.h"

#include <QBuffer>
#include <QImageReader>

namespace mailvane::skin {
namespace {

bool isKnownFormat(const QByteArray& format)
{
    static const QByteArray known[] = {"bmp", "gif", "jpeg", "jpg", "ico"};
    for (const QByteArray& name : known) {
        if (format == name)
            return true;
    }
    return false;
}

} // namespace

QImage PictureLoader::fromBytes(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    if (!isKnownFormat(reader.format()))
        return {};
    // The header's size, before any pixel memory is taken for it.
    const QSize size = reader.size();
    if (!size.isValid() || !isWithinPictureLimit(size.width(), size.height()))
        return {};
    return reader.read();
}

} // namespace mailvane::skin
