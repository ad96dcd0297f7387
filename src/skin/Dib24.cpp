#include "Dib24.h"

namespace mailvane::skin::dib {

QImage newSection(int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    QImage section(width, height, SectionFormat);
    if (!section.isNull())
        section.fill(0);
    return section;
}

QImage toSection(const QImage& image)
{
    if (image.isNull())
        return {};
    if (image.format() == SectionFormat)
        return image;
    return image.convertToFormat(SectionFormat);
}

} // namespace mailvane::skin::dib
