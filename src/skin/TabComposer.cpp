#include "TabComposer.h"

#include "SkinPiece.h"
#include "SkinTabCtrl.h"

#include <QPainter>
#include <algorithm>

namespace mailvane::skin {
namespace {

using S = SkinTabCtrl::Slot;

// Draws `picture` at (x, y) through its mask over the snapshot, cut to `w` × `h`.
struct Drawer
{
    QPainter& painter;
    const QImage& snapshot;
    const TabPictures& pictures;

    void draw(int slot, int x, int y, int w = -1, int h = -1) const
    {
        const TabPicture& p = pictures[slot];
        if (p.colour.isNull())
            return;
        drawSkinPiece(painter, p.colour, p.mask, snapshot, x, y, w < 0 ? p.width() : w,
                      h < 0 ? p.height() : h, FitTest::Skipped);
    }

    // Repeats the picture along x from `from` to `to`, the last tile cut.
    void tileAcross(int slot, int from, int to, int y) const
    {
        const int step = pictures[slot].width();
        if (step <= 0)
            return;
        for (int x = from; x < to; x += step)
            draw(slot, x, y, std::min(step, to - x), -1);
    }

    void tileDown(int slot, int x, int from, int to) const
    {
        const int step = pictures[slot].height();
        if (step <= 0)
            return;
        for (int y = from; y < to; y += step)
            draw(slot, x, y, -1, std::min(step, to - y));
    }
};

// Walks the tabs left to right; `drawer` null only measures.
int walkTabs(const Drawer* drawer, const TabPictures& pictures, const QList<QRect>& items,
             int selected)
{
    const auto w = [&](int slot) {
        return pictures[slot].width();
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

int TabComposer::stripEnd(const TabPictures& pictures, const QList<QRect>& items, int selected)
{
    return walkTabs(nullptr, pictures, items, selected);
}

QImage TabComposer::compose(const QImage& snapshot, const QSize& client,
                            const TabPictures& pictures, const QList<QRect>& items, int selected,
                            QRgb pageColour)
{
    QImage out(client, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    if (!snapshot.isNull())
        painter.drawImage(QPoint(0, 0), snapshot);
    const Drawer drawer{painter, snapshot, pictures};

    const int stripX = walkTabs(&drawer, pictures, items, selected);

    const int right = client.width();
    const int bottom = client.height();
    const auto w = [&](int slot) {
        return pictures[slot].width();
    };
    const auto h = [&](int slot) {
        return pictures[slot].height();
    };

    painter.fillRect(QRect(QPoint(w(S::FrameLeft), h(S::SelectedFirstLeft)),
                           QPoint(right - w(S::FrameRight) - 1, bottom - h(S::FrameBottom) - 1)),
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
    return out;
}

} // namespace mailvane::skin
