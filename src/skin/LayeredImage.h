#pragma once

// The image container: eight layers of up to 256 frames (held only when present), loaded from files
// and skin-library resources in several formats, blended through alpha masks, taken from pictures
// of windows and turned into window regions.
//
// Layers 0 to 3 form set 0 (foreground, alpha mask, background, composite),
// layers 4 to 7 set 1 with the same roles. Every frame is a 24-bit section
// (see Dib24.h); a mask frame holds 255 − alpha in all three bytes of a pixel.
// Operations report failure as false, a null image or nothing; none throws.

#include "RegionBuilder.h"
#include "ResourceLibrary.h"

#include <QByteArray>
#include <QImage>
#include <QRegion>
#include <QRgb>
#include <QString>
#include <array>
#include <map>
#include <optional>

namespace mailvane::skin {

class LayeredImage
{
public:
    static constexpr int LayerCount = 8;
    static constexpr int MaxFrames = 256;
    static constexpr int DefaultDelayMs = 50;
    static constexpr int LayersPerSet = 4;

    // A layer's role within its set; the layer number is set × LayersPerSet + role.
    // Plain constants on purpose: they are the layer numbers callers pass.
    enum Role
    {
        Foreground = 0,
        AlphaMask = 1,
        Background = 2,
        Composite = 3
    };

    // What a blend does with its buffers (the foreground and mask bytes it
    // keeps so that the next blend of the same frame need not read them again).
    enum class BlendMode
    {
        KeepBuffers,      // blend and keep them for the next blend of this frame
        FreeBuffersOnly,  // do not blend, only release them
        FreeBuffersAfter, // blend, then release them
    };

    // The header shared by a layer's frames, made from the first frame stored.
    struct LayerHeader
    {
        int width = 0;
        int height = 0;
        int stride() const;
        qsizetype imageSize() const { return qsizetype(stride()) * height; }
    };

    LayeredImage() = default;
    LayeredImage(const LayeredImage&) = delete;
    LayeredImage& operator=(const LayeredImage&) = delete;

    // Loading. A load from a resource empties the target frame first, so a
    // failed load leaves it empty. A PNG with alpha loaded into layer 0 puts
    // its mask into the same frame of layer 1.
    bool loadFromResource(const platform::LibraryHandle& module, int number, int layer, int frame);
    // The same frame for drawing at `scale` device pixels per pixel, as
    // SkinImage does it: `scale` times as large, from the library's finer
    // picture (finerPictureName) when it has one of exactly that size, with a
    // mask where the plain one has one, else the plain picture enlarged.
    // Only that frame is made finer. `scale` 1 is loadFromResource.
    bool loadFromResourceAtScale(const platform::LibraryHandle& module, int number, int scale,
                                 int layer, int frame);
    bool loadFromFile(const QString& path, int layer, int frame);
    // The file route on bytes already in memory.
    bool loadFromBytes(const QByteArray& bytes, int layer, int frame);

    // Copies `bitmap` into a new section; the caller keeps its image.
    bool storeBitmap(const QImage& bitmap, int layer, int frame);
    // `pixels` holds `height` rows of width × 3 bytes (blue, green, red), top first.
    bool createFromPixels(int width, int height, const uchar* pixels, int layer, int frame);

    QImage frame(int layer, int index) const;
    int frameDelay(int layer, int index) const;
    // Frames 0 .. n−1 that are present without a gap.
    int frameCount(int layer) const;
    std::optional<LayerHeader> layerHeader(int layer) const;
    int width(int layer) const;
    int height(int layer) const;
    void deleteFrame(int layer, int index);

    // The frame's pixels in the layer header's format: rows of the layer's
    // stride, top row first (or bottom row first). Empty on failure.
    QByteArray readPixels(int layer, int frame) const;
    QByteArray readPixelsBottomUp(int layer, int frame) const;

    // A frame of the given size in layer 3, covered by repeating the source
    // frame from the top-left corner.
    bool tile(int width, int height, int sourceLayer, int frame);

    // A picture of a width × height area of a window or the screen, grabbed by
    // the caller, into the set's background layer. A grab near an edge comes
    // back smaller; the rest stays black, as a copy from outside the screen
    // would. False for a null grab.
    bool storeCapture(const QImage& grabbed, int width, int height, int set, int frame);

    // composite = (background × mask + foreground × (255 − mask)) / 256 into
    // the set's composite layer; all three layers must have the same size.
    // False for a set other than 0 or 1, a missing layer or unequal sizes;
    // FreeBuffersOnly always succeeds and makes no composite.
    bool blend(BlendMode mode, int set, int frame);
    // As blend, using the part of a larger background at (x, y).
    bool blendWithOffset(BlendMode mode, int x, int y, int set, int frame);
    void freeBlendBuffers();

    // The region of the frame's pixels that do not match the key colour;
    // nothing when the frame is missing.
    std::optional<QRegion> region(int layer, int frame, KeyColour key) const;

    int loopCount() const { return m_loopCount; }
    void setBackgroundOverride(std::optional<QRgb> colour) { m_backgroundOverride = colour; }

private:
    struct Frame
    {
        QImage image;
        int delayMs = 0;
    };

    // Only the frames that exist are held: most layers hold one frame or
    // none, and an animation holds as many as it has.
    struct Layer
    {
        std::map<int, Frame> frames;
        std::optional<LayerHeader> header;
    };

    struct BlendBuffers
    {
        QByteArray foreground;
        QByteArray mask;
        QByteArray background;
        int set = -1;
        int frame = -1;
    };

    static bool validLayer(int layer) { return layer >= 0 && layer < LayerCount; }
    static bool validFrame(int frame) { return frame >= 0 && frame < MaxFrames; }
    static bool valid(int layer, int frame) { return validLayer(layer) && validFrame(frame); }

    // Stores without looking at the layer's header size (a plain bitmap).
    void put(int layer, int frame, const QImage& section, int delayMs);
    // Stores after emptying the layer when its frames have another size.
    void putReplacingOtherSize(int layer, int frame, const QImage& section, int delayMs);
    void clearLayer(int layer);
    const Frame* find(int layer, int index) const;
    void touched(int layer);

    bool loadNamedResource(const platform::LibraryHandle& module, const QString& name, int layer,
                           int frame);
    bool loadGif(const QByteArray& bytes, int layer, int frame);
    bool loadPng(const QByteArray& bytes, int layer, int frame);
    bool loadOther(const QImage& section, int layer, int frame);
    bool blendImpl(BlendMode mode, std::optional<QPoint> offset, int set, int frame);

    std::array<Layer, LayerCount> m_layers;
    BlendBuffers m_blend;
    int m_loopCount = 1;
    std::optional<QRgb> m_backgroundOverride;
};

} // namespace mailvane::skin
