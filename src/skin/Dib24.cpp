#include "Dib24.h"

#include <cstring>

namespace mailvane::skin::dib {

QImage newSection(int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    QImage section(width, height, SectionFormat);
    // fill() writes only the pixels of each row; the padding would keep
    // whatever the allocator left there.
    if (!section.isNull())
        std::memset(section.bits(), 0, size_t(section.sizeInBytes()));
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

QByteArray rowsOf(const QImage& section, const QRect& area)
{
    if (area.width() <= 0 || area.height() <= 0)
        return {};
    const qsizetype stride = strideFor(area.width());
    QByteArray rows(stride * area.height(), '\0');
    const QRect inside = area.intersected(section.rect());
    if (inside.isEmpty() || section.depth() != 24)
        return rows;
    const size_t pixelBytes = size_t(inside.width()) * 3;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        std::memcpy(rows.data() + (y - area.top()) * stride + (inside.left() - area.left()) * 3,
                    section.constScanLine(y) + inside.left() * 3, pixelBytes);
    }
    return rows;
}

} // namespace mailvane::skin::dib
