#pragma once

// Composes the skinned tab strip and the frame around the page area from the
// sixteen pictures of a SkinTabBar, over the snapshot of what lies behind.

#include <QImage>
#include <QList>
#include <QRect>
#include <array>

namespace mailvane::widgets {

struct TabPicture
{
    QImage colour;
    QImage mask; // empty for a picture without alpha
    int width() const { return colour.width(); }
    int height() const { return colour.height(); }
};

using TabPictures = std::array<TabPicture, 16>;

class TabComposer
{
public:
    static constexpr int IdleTabDrop = 4; // unselected tabs sit this much lower
    static constexpr int FrameTopY = 23;

    // The composition of a control of `client` size whose tabs have the item
    // rectangles `items`, `selected` being the chosen one (−1 for none).
    // Missing pictures (null) count as size 0 and leave the snapshot showing.
    //
    // At a `scale` above 1 the composition is made at that many device pixels
    // per pixel, for a screen that has them: the snapshot and the pictures
    // are then `scale` times their size in pixels (SkinImage's scaled load),
    // while every place and size above stays in pixels. The result carries
    // `scale` as its device pixel ratio.
    static QImage compose(const QImage& snapshot, const QSize& client, const TabPictures& pictures,
                          const QList<QRect>& items, int selected, QRgb pageColour, int scale = 1);

    // Where the strip's pictures end on the right, as the walk over the tabs
    // leaves its running x (in pixels, with pictures made at `scale`).
    static int stripEnd(const TabPictures& pictures, const QList<QRect>& items, int selected,
                        int scale = 1);
};

} // namespace mailvane::widgets
