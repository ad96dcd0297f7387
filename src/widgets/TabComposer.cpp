#include "TabComposer.h"

#include "SkinPiece.h"
#include "SkinTabBar.h"

#include <QPainter>
#include <algorithm>

namespace mailvane::widgets {
namespace {

using S = SkinTabBar::Slot;

// A picture's size in pixels, when made at `scale`.
struct Measure
{
    const TabPictures& pictures;
    int scale;

    int width(int slot) const { return pictures[slot].width() / scale; }
    int height(int slot) const { return pictures[slot].height() / scale; }
};

// Draws `picture` at (x, y) through its mask over the snapshot, cut to `w` ×
// `h`; places in pixels, drawn at the device pixels of the scale.
struct Drawer
{
    QPainter& painter;
    const QImage& snapshot;
    const TabPictures& pictures;
    Measure measure;

    void draw(int slot, int x, int y, int w = -1, int h = -1) const
    {
        const TabPicture& p = pictures[slot];
        if (p.colour.isNull())
            return;
        const int s = measure.scale;
        skin::drawSkinPiece(painter, p.colour, p.mask, snapshot, x * s, y * s,
                            (w < 0 ? measure.width(slot) : w) * s,
                            (h < 0 ? measure.height(slot) : h) * s, skin::FitTest::Skipped);
    }

    // Repeats the picture along x from `from` to `to`, the last tile cut.
    void tileAcross(int slot, int from, int to, int y) const
    {
        const int step = measure.width(slot);
        if (step <= 0)
            return;
        for (int x = from; x < to; x += step)
            draw(slot, x, y, std::min(step, to - x), -1);
    }

    void tileDown(int slot, int x, int from, int to) const
    {
        const int step = measure.height(slot);
        if (step <= 0)
            return;
        for (int y = from; y < to; y += step)
            draw(slot, x, y, -1, std::min(step, to - y));
    }
};

// Walks the tabs left to right; `drawer` null only measures.
int walkTabs(const Drawer* drawer, const Measure& measure, const QList<QRect>& items, int selected)
{
    const auto w = [&](int slot) {
        return measure.width(slot);
    };
    int x = 0;
    const int count = int(items.size());
    for (int i = 0; i < count; ++i) {
        const QRect& r = items.at(i);
        const bool first = i == 0;
        const bool last = i == count - 1;
        if (i == selected) {
            const int leftSlot = first ? S::SelectedFirstLeft : S::SelectedLeft;
            const int h = first ? w(S::SelectedFirstLeft) : w(S::SelectedLeft) / 2;
            if (drawer)
                drawer->draw(leftSlot, x, 0);
            x += w(leftSlot);
            const int rightSlot = last ? S::SelectedLastRight : S::SelectedRight;
            const int k = last ? w(S::SelectedLastRight) : w(S::SelectedRight) / 2;
            const int rightX = r.width() - h - k + x;
            if (drawer) {
                drawer->tileAcross(S::SelectedMiddle, x, rightX, 0);
                drawer->draw(rightSlot, rightX, 0);
            }
            x = rightX + w(rightSlot) - (last ? 1 : 0);
        } else {
            const int y = TabComposer::IdleTabDrop;
            int h;
            int drawn = 0;
            if (first) {
                h = w(S::IdleFirstLeft);
                drawn = w(S::IdleFirstLeft);
                if (drawer)
                    drawer->draw(S::IdleFirstLeft, x, y);
            } else if (i - 1 == selected) {
                h = w(S::SelectedRight) / 2;
            } else {
                h = w(S::IdleLeft) / 2;
                drawn = w(S::IdleLeft);
                if (drawer)
                    drawer->draw(S::IdleLeft, x, y);
            }
            x += drawn;
            int rightEnd = x;
            int k = w(S::IdleLeft) / 2;
            if (last) {
                k = w(S::IdleLastRight) / 2;
                const int rightX = r.width() - h - k + x;
                if (drawer)
                    drawer->draw(S::IdleLastRight, rightX, y);
                rightEnd = rightX + w(S::IdleLastRight);
            }
            const int middleEnd = r.width() - h - k + x;
            if (drawer)
                drawer->tileAcross(S::IdleMiddle, x, middleEnd, y);
            x = std::max(middleEnd, rightEnd);
        }
    }
    return x;
}

} // namespace

int TabComposer::stripEnd(const TabPictures& pictures, const QList<QRect>& items, int selected,
                          int scale)
{
    return walkTabs(nullptr, Measure{pictures, std::max(scale, 1)}, items, selected);
}

QImage TabComposer::compose(const QImage& snapshot, const QSize& client,
                            const TabPictures& pictures, const QList<QRect>& items, int selected,
                            QRgb pageColour, int scale)
{
    scale = std::max(scale, 1);
    // Composed in device pixels; the ratio is set once it is done.
    QImage out(client * scale, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    if (!snapshot.isNull())
        painter.drawImage(QRect(QPoint(0, 0), snapshot.size()), snapshot);
    const Measure measure{pictures, scale};
    const Drawer drawer{painter, snapshot, pictures, measure};

    const int stripX = walkTabs(&drawer, measure, items, selected);

    const int right = client.width();
    const int bottom = client.height();
    const auto w = [&](int slot) {
        return measure.width(slot);
    };
    const auto h = [&](int slot) {
        return measure.height(slot);
    };

    const QRect page(QPoint(w(S::FrameLeft), h(S::SelectedFirstLeft)),
                     QPoint(right - w(S::FrameRight) - 1, bottom - h(S::FrameBottom) - 1));
    painter.fillRect(QRect(page.topLeft() * scale, page.size() * scale),
                     QColor::fromRgb(pageColour));

    const int cornerX = right - w(S::FrameTopRight);
    drawer.draw(S::FrameTopRight, cornerX, FrameTopY);
    drawer.tileAcross(S::FrameTop, stripX, cornerX, FrameTopY);
    drawer.tileDown(S::FrameRight, cornerX, FrameTopY + h(S::FrameTopRight),
                    bottom - h(S::FrameBottomRight));
    drawer.draw(S::FrameBottomRight, cornerX, bottom - h(S::FrameBottomRight));
    drawer.draw(S::FrameBottomLeft, 0, bottom - h(S::FrameBottomLeft));
    drawer.tileAcross(S::FrameBottom, w(S::FrameBottomLeft), right - w(S::FrameBottomRight),
                      bottom - h(S::FrameBottomLeft));
    drawer.tileDown(S::FrameLeft, 0, h(S::SelectedFirstLeft), bottom - h(S::FrameBottomLeft));
    painter.end();
    out.setDevicePixelRatio(scale);
    return out;
}

} // namespace mailvane::widgets
