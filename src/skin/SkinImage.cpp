#include "SkinImage.h"

#include "DisplayPngDecoder.h"
#include "PictureLoader.h"

namespace mailvane::skin {

QImage SkinImage::load(const platform::LibraryHandle& module, int number)
{
    m_colour = QImage();
    m_mask = QImage();
    const QString name = QString::number(number);

    const QByteArray bitmap =
        platform::loadResourceData(module, QLatin1String(platform::BitmapResourceType), name);
    if (!bitmap.isEmpty()) {
        m_colour = PictureLoader::fromBitmap(bitmap);
        return m_colour;
    }

    const QByteArray png = platform::loadResourceData(module, QLatin1String(PngResourceType), name);
    if (png.isEmpty())
        return {};
    if (auto decoded = DisplayPngDecoder::decode(png)) {
        m_colour = std::move(decoded->colour);
        m_mask = std::move(decoded->mask);
    }
    return m_colour;
}

} // namespace mailvane::skin
