#include "SkinCatalogue.h"

#include "SkinStyle.h"

namespace mailvane::skingen {
namespace {

QString scaled(const QString& name)
{
    const int scale = drawingScale();
    return scale > 1 ? name + QLatin1Char('@') + QString::number(scale) + QLatin1Char('x') : name;
}

} // namespace

void SkinCatalogue::addBitmap(const QString& name, const QImage& image)
{
    m_pictures.push_back(
        {QStringLiteral("BITMAP"), scaled(name), image.convertToFormat(QImage::Format_RGB32)});
}

void SkinCatalogue::addPng(int number, const QImage& image)
{
    m_pictures.push_back({QStringLiteral("PNG"), scaled(QString::number(number)),
                          image.convertToFormat(QImage::Format_ARGB32)});
}

} // namespace mailvane::skingen
