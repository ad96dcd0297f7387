// The loading routes of the image container: bitmap resources, named-type
// resources and files (animated GIF, the picture loader, PNG, WBMP, OTA).

#include "Dib24.h"
#include "GifComposer.h"
#include "LayeredImage.h"
#include "MonoBitmapDecoder.h"
#include "PictureLoader.h"
#include "RawPngDecoder.h"
#include "SkinImage.h"

#include <QFile>

namespace mailvane::skin {
namespace {

bool isNumber(const QString& text)
{
    bool ok = false;
    text.toInt(&ok);
    return ok;
}

} // namespace

bool LayeredImage::loadFromResource(const platform::LibraryHandle& module, int number, int layer,
                                    int frame)
{
    if (number == 0)
        return false;
    return loadNamedResource(module, QString::number(number), layer, frame);
}

bool LayeredImage::loadFromResourceAtScale(const platform::LibraryHandle& module, int number,
                                           int scale, int layer, int frame)
{
    if (!loadFromResource(module, number, layer, frame))
        return false;
    if (scale <= 1)
        return true;
    // Only a picture in the foreground brings its mask along.
    const int maskLayer = layer == Foreground ? AlphaMask : -1;
    const QImage plain = this->frame(layer, frame);
    const QImage plainMask = maskLayer < 0 ? QImage() : this->frame(maskLayer, frame);
    const QSize wanted = plain.size() * scale;
    LayeredImage fine;
    QImage colour, mask;
    if (fine.loadNamedResource(module, finerPictureName(number, scale), layer, frame)) {
        colour = fine.frame(layer, frame);
        mask = maskLayer < 0 ? QImage() : fine.frame(maskLayer, frame);
    }
    if (colour.size() != wanted || mask.isNull() != plainMask.isNull()) {
        const auto enlarged = [&](const QImage& image) {
            return image.isNull() ? QImage()
                                  : dib::toSection(image.scaled(wanted, Qt::IgnoreAspectRatio,
                                                                Qt::SmoothTransformation));
        };
        colour = enlarged(plain);
        mask = enlarged(plainMask);
    }
    putReplacingOtherSize(layer, frame, colour, frameDelay(layer, frame));
    if (!mask.isNull())
        putReplacingOtherSize(maskLayer, frame, mask, frameDelay(maskLayer, frame));
    return true;
}

bool LayeredImage::loadNamedResource(const platform::LibraryHandle& module, const QString& name,
                                     int layer, int frame)
{
    if (!valid(layer, frame) || module.isEmpty())
        return false;
    deleteFrame(layer, frame);
    freeBlendBuffers();

    const QImage bitmap = dib::toSection(PictureLoader::fromBitmap(
        platform::loadResourceData(module, QLatin1String(platform::BitmapResourceType), name)));
    if (!bitmap.isNull()) {
        put(layer, frame, bitmap, DefaultDelayMs);
        return true;
    }

    // Bitmaps live under a numbered type; the first type with a name that
    // holds this number is taken, whatever its format.
    for (const QString& type : platform::resourceTypes(module)) {
        if (type == QLatin1String(platform::BitmapResourceType) || isNumber(type))
            continue;
        if (platform::findResource(module, type, name).isEmpty())
            continue;
        const QByteArray bytes = platform::loadResourceData(module, type, name);
        if (bytes.isEmpty())
            return false;
        return loadFromBytes(bytes, layer, frame);
    }
    return false;
}

bool LayeredImage::loadFromFile(const QString& path, int layer, int frame)
{
    if (!valid(layer, frame))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return loadFromBytes(file.readAll(), layer, frame);
}

bool LayeredImage::loadFromBytes(const QByteArray& bytes, int layer, int frame)
{
    if (!valid(layer, frame) || bytes.isEmpty())
        return false;
    freeBlendBuffers();
    if (bytes.startsWith("GIF") && loadGif(bytes, layer, frame))
        return true;
    if (loadOther(dib::toSection(PictureLoader::fromBytes(bytes)), layer, frame))
        return true;
    return loadPng(bytes, layer, frame) ||
           loadOther(MonoBitmapDecoder::decodeWbmp(bytes), layer, frame) ||
           loadOther(MonoBitmapDecoder::decodeOta(bytes), layer, frame);
}

bool LayeredImage::loadGif(const QByteArray& bytes, int layer, int frame)
{
    const std::optional<ComposedGif> gif = GifComposer::compose(bytes, m_backgroundOverride);
    if (!gif)
        return false;
    m_loopCount = gif->loopCount;
    for (int i = 0; i < gif->frames.size() && frame + i < MaxFrames; ++i)
        putReplacingOtherSize(layer, frame + i, gif->frames.at(i), gif->delays.at(i));
    return true;
}

bool LayeredImage::loadPng(const QByteArray& bytes, int layer, int frame)
{
    const std::optional<DecodedPng> png = RawPngDecoder::decode(bytes);
    if (!png)
        return false;
    putReplacingOtherSize(layer, frame, png->colour, DefaultDelayMs);
    if (layer == Foreground && !png->mask.isNull())
        putReplacingOtherSize(AlphaMask, frame, png->mask, DefaultDelayMs);
    return true;
}

bool LayeredImage::loadOther(const QImage& section, int layer, int frame)
{
    if (section.isNull())
        return false;
    putReplacingOtherSize(layer, frame, section, DefaultDelayMs);
    return true;
}

} // namespace mailvane::skin
