#pragma once

// The outline of a bitmap button: a left cap, a middle piece repeated across
// the width and a right cap, each given as the region of its opaque pixels.

#include <QRect>
#include <QRegion>
#include <QSize>

namespace mailvane::widgets {

struct ButtonShapeRegions
{
    QRegion left;
    QRegion middle;
    QRegion right;
};

struct ButtonShape
{
    QRegion region;
    QRect middleSpan; // between the caps; holds the text and the focus rectangle
};

class ButtonShapeBuilder
{
public:
    // The shape for a button occupying `rect`. When `rect` is too small for
    // both caps the shape is the rectangle itself, and so is the span.
    static ButtonShape build(const ButtonShapeRegions& regions, const QRect& rect);

    // Width of the left cap's right edge plus the right cap's right edge,
    // height of the taller cap.
    static QSize minimumSize(const ButtonShapeRegions& regions);
};

} // namespace mailvane::widgets
