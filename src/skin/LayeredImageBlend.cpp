// Blending of the image container: foreground over background through the
// alpha mask, with the foreground and mask bytes kept between blends of the
// same frame (an animation blends one frame over a moving background).

#include "Dib24.h"
#include "LayeredImage.h"
#include "MaskBlend.h"

#include <cstring>

namespace mailvane::skin {

void LayeredImage::freeBlendBuffers()
{
    m_blend = BlendBuffers();
}

bool LayeredImage::blend(BlendMode mode, int set, int frame)
{
    return blendImpl(mode, std::nullopt, set, frame);
}

bool LayeredImage::blendWithOffset(BlendMode mode, int x, int y, int set, int frame)
{
    return blendImpl(mode, QPoint(x, y), set, frame);
}

bool LayeredImage::blendImpl(BlendMode mode, std::optional<QPoint> offset, int set, int frame)
{
    if ((set != 0 && set != 1) || !validFrame(frame))
        return false;
    if (m_blend.set != set)
        freeBlendBuffers();
    if (mode == BlendMode::FreeBuffersOnly) {
        freeBlendBuffers();
        return true;
    }
    const int base = set * LayersPerSet;
    const auto foregroundHeader = layerHeader(base + Foreground);
    const auto maskHeader = layerHeader(base + AlphaMask);
    const auto backgroundHeader = layerHeader(base + Background);
    if (!foregroundHeader || !maskHeader || !backgroundHeader)
        return false;
    // Same dimensions, not merely the same byte count: 3 × 2 and 4 × 2 share a
    // row stride, but blending one over the other would mix unrelated pixels.
    const auto sameSize = [](const LayerHeader& a, const LayerHeader& b) {
        return a.width == b.width && a.height == b.height;
    };
    if (!sameSize(*maskHeader, *foregroundHeader))
        return false;

    QByteArray background;
    const bool cutFromLarger = offset && backgroundHeader->width >= foregroundHeader->width &&
                               backgroundHeader->height >= foregroundHeader->height;
    if (cutFromLarger) {
        // The patch must lie inside the background; reading beyond it would
        // blend bytes that belong to nothing.
        const QRect patch(*offset, QSize(foregroundHeader->width, foregroundHeader->height));
        const QImage whole = this->frame(base + Background, frame);
        if (whole.isNull() || !whole.rect().contains(patch))
            return false;
        background = dib::rowsOf(whole, patch);
    } else {
        if (!sameSize(*backgroundHeader, *foregroundHeader))
            return false;
        background = readPixels(base + Background, frame);
    }
    if (m_blend.frame != frame || m_blend.foreground.isEmpty() || m_blend.mask.isEmpty()) {
        m_blend.foreground = readPixels(base + Foreground, frame);
        m_blend.mask = readPixels(base + AlphaMask, frame);
        m_blend.set = set;
        m_blend.frame = frame;
    }
    const qsizetype size = foregroundHeader->imageSize();
    if (m_blend.foreground.size() != size || m_blend.mask.size() != size ||
        background.size() != size) {
        freeBlendBuffers();
        return false;
    }

    QImage composite = dib::newSection(foregroundHeader->width, foregroundHeader->height);
    if (composite.isNull())
        return false;
    blendThroughMask(reinterpret_cast<const uchar*>(m_blend.foreground.constData()),
                     reinterpret_cast<const uchar*>(m_blend.mask.constData()),
                     reinterpret_cast<const uchar*>(background.constData()), composite.bits(),
                     size);
    putReplacingOtherSize(base + Composite, frame, composite, DefaultDelayMs);
    if (mode == BlendMode::FreeBuffersAfter)
        freeBlendBuffers();
    return true;
}

} // namespace mailvane::skin
