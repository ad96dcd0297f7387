#include "SkinCatalogue.h"

namespace mailvane::skingen {

void SkinCatalogue::addBitmap(const QString& name, const QImage& image)
{
    m_pictures.push_back(
        {QStringLiteral("BITMAP"), name, image.convertToFormat(QImage::Format_RGB32)});
}

void SkinCatalogue::addPng(int number, const QImage& image)
{
    m_pictures.push_back({QStringLiteral("PNG"), QString::number(number),
                          image.convertToFormat(QImage::Format_ARGB32)});
}

} // namespace mailvane::skingen
