#include "ButtonShape.h"

#include <algorithm>

namespace mailvane::widgets {
namespace {

// Edges as the window system counts them: right and bottom are exclusive.
int rightEdge(const QRect& r)
{
    return r.x() + r.width();
}

int bottomEdge(const QRect& r)
{
    return r.y() + r.height();
}

} // namespace

ButtonShape ButtonShapeBuilder::build(const ButtonShapeRegions& regions, const QRect& rect)
{
    const QRect lb = regions.left.boundingRect();
    const QRect mb = regions.middle.boundingRect();
    const QRect rb = regions.right.boundingRect();
    const int width = rect.width();
    const int height = rect.height();

    if (width < rightEdge(lb) + rightEdge(rb) - rb.x() - lb.x() || height < lb.height())
        return {QRegion(rect), rect};

    QRegion shape = regions.left;
    QRegion middles;
    if (mb.width() > 0 && width > 0) {
        int offset = lb.width();
        QRegion piece = regions.middle.translated(offset, 0);
        middles = piece;
        while (rightEdge(middles.boundingRect()) < width) {
            offset += mb.width();
            middles += regions.middle.translated(offset, 0);
        }
    }
    const QRect between(QPoint(lb.width(), 0), QPoint(width - rb.width() - 1, height - 1));
    middles &= QRegion(between);
    QRect span = middles.boundingRect();
    shape += middles;
    shape += regions.right.translated(width - rightEdge(rb) + rb.x(), 0);

    shape.translate(rect.topLeft());
    span.translate(rect.topLeft());
    return {shape, span};
}

QSize ButtonShapeBuilder::minimumSize(const ButtonShapeRegions& regions)
{
    const QRect lb = regions.left.boundingRect();
    const QRect rb = regions.right.boundingRect();
    return {rightEdge(lb) + rightEdge(rb), std::max(bottomEdge(lb), bottomEdge(rb))};
}

} // namespace mailvane::widgets
