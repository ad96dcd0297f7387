#include "SkinImage.h"

#include "DisplayPngDecoder.h"
#include "PictureLoader.h"

#include <algorithm>
#include <cmath>

namespace mailvane::skin {

int pictureScale(qreal devicePixelRatio)
{
    return std::max(1, int(std::ceil(devicePixelRatio)));
}

QString finerPictureName(int number, int scale)
{
    return QString::number(number) + QLatin1Char('@') + QString::number(scale) + QLatin1Char('x');
}

QImage SkinImage::load(const platform::LibraryHandle& module, int number)
{
    return loadNamed(module, QString::number(number));
}

QImage SkinImage::load(const platform::LibraryHandle& module, int number, int scale)
{
    load(module, number);
    if (scale <= 1 || m_colour.isNull())
        return m_colour;
    const QSize wanted = m_colour.size() * scale;
    SkinImage fine;
    fine.loadNamed(module, finerPictureName(number, scale));
    if (fine.m_colour.size() == wanted && fine.m_mask.isNull() == m_mask.isNull()) {
        m_colour = fine.takeColour();
        m_mask = fine.takeMask();
        return m_colour;
    }
    m_colour = m_colour.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (!m_mask.isNull())
        m_mask = m_mask.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return m_colour;
}

QImage SkinImage::loadNamed(const platform::LibraryHandle& module, const QString& name)
{
    m_colour = QImage();
    m_mask = QImage();

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
