#include "LayeredImage.h"

#include "Dib24.h"

#include <cstring>

namespace mailvane::skin {

int LayeredImage::LayerHeader::stride() const
{
    return dib::strideFor(width);
}

void LayeredImage::put(int layer, int frame, const QImage& section, int delayMs)
{
    Layer& target = m_layers[layer];
    target.frames[frame] = Frame{section, delayMs};
    if (!target.header)
        target.header = LayerHeader{section.width(), section.height()};
    touched(layer);
}

void LayeredImage::putReplacingOtherSize(int layer, int frame, const QImage& section, int delayMs)
{
    const std::optional<LayerHeader>& header = m_layers[layer].header;
    if (header && (header->width != section.width() || header->height != section.height()))
        clearLayer(layer);
    put(layer, frame, section, delayMs);
}

void LayeredImage::clearLayer(int layer)
{
    Layer& target = m_layers[layer];
    if (target.frames.empty())
        return;
    target.frames.clear();
    target.header.reset();
    touched(layer);
}

void LayeredImage::touched(int layer)
{
    // Cached blend input must never outlive a change of the pixels it copied.
    const int role = layer % LayersPerSet;
    if (role == Foreground || role == AlphaMask)
        freeBlendBuffers();
}

void LayeredImage::deleteFrame(int layer, int index)
{
    if (!valid(layer, index))
        return;
    Layer& target = m_layers[layer];
    if (target.frames.erase(index) == 0)
        return;
    touched(layer);
    if (target.frames.empty())
        target.header.reset();
}

bool LayeredImage::storeBitmap(const QImage& bitmap, int layer, int frame)
{
    if (!valid(layer, frame) || bitmap.isNull())
        return false;
    const QImage section = dib::toSection(bitmap);
    if (section.isNull())
        return false;
    // A deep copy, so that the caller may change its image afterwards.
    put(layer, frame, section.copy(), DefaultDelayMs);
    return true;
}

bool LayeredImage::createFromPixels(int width, int height, const uchar* pixels, int layer,
                                    int frame)
{
    if (!valid(layer, frame) || !pixels)
        return false;
    QImage section = dib::newSection(width, height);
    if (section.isNull())
        return false;
    const qsizetype rowBytes = qsizetype(width) * 3;
    for (int y = 0; y < height; ++y)
        std::memcpy(section.scanLine(y), pixels + y * rowBytes, size_t(rowBytes));
    put(layer, frame, section, DefaultDelayMs);
    return true;
}

const LayeredImage::Frame* LayeredImage::find(int layer, int index) const
{
    if (!valid(layer, index))
        return nullptr;
    const auto found = m_layers[layer].frames.find(index);
    return found == m_layers[layer].frames.end() ? nullptr : &found->second;
}

QImage LayeredImage::frame(int layer, int index) const
{
    const Frame* found = find(layer, index);
    return found ? found->image : QImage();
}

int LayeredImage::frameDelay(int layer, int index) const
{
    const Frame* found = find(layer, index);
    return found ? found->delayMs : 0;
}

int LayeredImage::frameCount(int layer) const
{
    if (!validLayer(layer))
        return 0;
    // Keys are sorted, so the run from 0 ends at the first key out of step.
    int count = 0;
    for (const auto& [index, frame] : m_layers[layer].frames) {
        if (index != count)
            break;
        ++count;
    }
    return count;
}

std::optional<LayeredImage::LayerHeader> LayeredImage::layerHeader(int layer) const
{
    return validLayer(layer) ? m_layers[layer].header : std::nullopt;
}

int LayeredImage::width(int layer) const
{
    const auto header = layerHeader(layer);
    return header ? header->width : 0;
}

int LayeredImage::height(int layer) const
{
    const auto header = layerHeader(layer);
    return header ? header->height : 0;
}

QByteArray LayeredImage::readPixels(int layer, int frame) const
{
    const auto header = layerHeader(layer);
    const QImage source = this->frame(layer, frame);
    if (!header || source.isNull())
        return {};
    // The layer's header decides the format; a frame of another size (a plain
    // bitmap stored into a used layer) is cut or padded with black to fit.
    return dib::rowsOf(source, QRect(0, 0, header->width, header->height));
}

QByteArray LayeredImage::readPixelsBottomUp(int layer, int frame) const
{
    const QByteArray topDown = readPixels(layer, frame);
    if (topDown.isEmpty())
        return {};
    const auto header = layerHeader(layer);
    const int stride = header->stride();
    QByteArray bottomUp(topDown.size(), '\0');
    for (int y = 0; y < header->height; ++y)
        std::memcpy(bottomUp.data() + (header->height - 1 - y) * qsizetype(stride),
                    topDown.constData() + y * qsizetype(stride), size_t(stride));
    return bottomUp;
}

bool LayeredImage::tile(int width, int height, int sourceLayer, int frame)
{
    const QImage source = this->frame(sourceLayer, frame);
    if (source.isNull())
        return false;
    QImage tiled = dib::newSection(width, height);
    if (tiled.isNull())
        return false;
    const int rowBytes = source.width() * 3;
    for (int y = 0; y < height; ++y) {
        const uchar* from = source.constScanLine(y % source.height());
        uchar* to = tiled.scanLine(y);
        for (int x = 0; x < width; x += source.width()) {
            const int bytes = qMin(rowBytes, (width - x) * 3);
            std::memcpy(to + x * 3, from, size_t(bytes));
        }
    }
    putReplacingOtherSize(Composite, frame, tiled, DefaultDelayMs);
    return true;
}

bool LayeredImage::storeCapture(const QImage& grabbed, int width, int height, int set, int frame)
{
    if ((set != 0 && set != 1) || !validFrame(frame) || width <= 0 || height <= 0)
        return false;
    if (grabbed.isNull())
        return false;
    QImage section = dib::newSection(width, height);
    if (section.isNull())
        return false;
    const QImage area = dib::toSection(grabbed);
    for (int row = 0; row < qMin(height, area.height()); ++row)
        std::memcpy(section.scanLine(row), area.constScanLine(row),
                    size_t(qMin(width, area.width()) * 3));
    putReplacingOtherSize(set * LayersPerSet + Background, frame, section, DefaultDelayMs);
    return true;
}

std::optional<QRegion> LayeredImage::region(int layer, int frame, KeyColour key) const
{
    const QImage source = this->frame(layer, frame);
    if (source.isNull())
        return std::nullopt;
    return RegionBuilder::fromImage(source, key);
}

} // namespace mailvane::skin
