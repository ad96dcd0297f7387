#include "GallerySheet.h"

#include "GallerySamples.h"
#include "ImageFixtures.h"
#include "LayeredImage.h"
#include "ResourceLibrary.h"

#include <QPainter>
#include <QPainterPath>

namespace mailvane::gallery {
namespace {

using skin::LayeredImage;

constexpr int Zoom = 3;
constexpr int Gap = 16;
constexpr int CaptionHeight = 34;
constexpr skin::KeyColour MaskKey{0xFFFFFF, 0x010101};

QImage regionOutline(const QImage& picture, const QRegion& region)
{
    // Drawn enlarged so that the one-pixel steps of the outline show.
    QImage out = picture.convertToFormat(QImage::Format_RGB32)
                     .scaled(picture.size() * Zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QPainterPath path;
    path.addRegion(region);
    QPainter painter(&out);
    painter.scale(Zoom, Zoom);
    painter.setPen(QPen(QColor(0xE0, 0x30, 0x30), 1.0 / Zoom));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path.simplified());
    return out;
}

// The picture as the sheet shows it: enlarged unless it already is.
QImage displayed(const RouteResult& result)
{
    if (result.image.isNull() || result.name == QLatin1String("route-region"))
        return result.image;
    return result.image.scaled(result.image.size() * Zoom, Qt::IgnoreAspectRatio,
                               Qt::FastTransformation);
}

} // namespace

QList<RouteResult> renderRoutes(const QString& workDir)
{
    const QString bundle = test::buildLibrary(
        workDir, {{QStringLiteral("BITMAP/%1.bmp").arg(SampleBitmap),
                   test::encodeImage(sampleBitmap(), "BMP")},
                  {QStringLiteral("PNG/%1.png").arg(SamplePng),
                   test::encodeImage(samplePngWithAlpha(), "PNG")},
                  {QStringLiteral("GIF/%1.gif").arg(SampleGif), sampleAnimatedGif()},
                  {QStringLiteral("WBMP/%1.wbmp").arg(SampleWbmp), sampleWbmp()},
                  {QStringLiteral("OTA/%1.ota").arg(SampleOta), sampleOta()}});
    platform::LibraryHandle library = platform::loadResourceLibrary(bundle);

    QList<RouteResult> results;
    LayeredImage util;
    util.loadFromResource(library, SampleBitmap, 4, 0);
    results.append({QStringLiteral("route-bmp"), QStringLiteral("BMP resource"), util.frame(4, 0)});

    util.loadFromResource(library, SamplePng, LayeredImage::Foreground, 0);
    const QImage colour = util.frame(LayeredImage::Foreground, 0);
    const QImage mask = util.frame(LayeredImage::AlphaMask, 0);
    results.append({QStringLiteral("route-png-colour"), QStringLiteral("PNG colour"), colour});
    results.append(
        {QStringLiteral("route-png-mask"), QStringLiteral("PNG mask (255 - alpha)"), mask});
    if (!colour.isNull()) {
        util.storeBitmap(checkerboard(colour.width(), colour.height()), LayeredImage::Background,
                         0);
        util.blend(LayeredImage::BlendMode::FreeBuffersAfter, 0, 0);
    }
    results.append({QStringLiteral("route-png-blend"), QStringLiteral("PNG blended on checks"),
                    util.frame(LayeredImage::Composite, 0)});
    const auto region = util.region(LayeredImage::AlphaMask, 0, MaskKey);
    results.append(
        {QStringLiteral("route-region"), QStringLiteral("Region of the mask"),
         region ? regionOutline(util.frame(LayeredImage::Composite, 0), *region) : QImage()});

    util.loadFromResource(library, SampleGif, 5, 0);
    for (int i = 0; i < util.frameCount(5); ++i) {
        results.append({QStringLiteral("route-gif-frame-%1").arg(i),
                        QStringLiteral("GIF frame %1, %2 ms").arg(i).arg(util.frameDelay(5, i)),
                        util.frame(5, i)});
    }
    util.loadFromResource(library, SampleWbmp, 6, 0);
    results.append({QStringLiteral("route-wbmp"), QStringLiteral("WBMP"), util.frame(6, 0)});
    util.loadFromResource(library, SampleOta, 7, 0);
    results.append({QStringLiteral("route-ota"), QStringLiteral("OTA bitmap"), util.frame(7, 0)});

    platform::freeResourceLibrary(library);
    return results;
}

QImage contactSheet(const QList<RouteResult>& results)
{
    constexpr int Columns = 4;
    int cellWidth = 0;
    int cellHeight = 0;
    for (const RouteResult& result : results) {
        const QSize size = result.image.isNull() ? QSize(64, 64) : displayed(result).size();
        cellWidth = qMax(cellWidth, size.width());
        cellHeight = qMax(cellHeight, size.height());
    }
    const int rows = int((results.size() + Columns - 1) / Columns);
    QImage sheet(Gap + Columns * (cellWidth + Gap), Gap + rows * (cellHeight + CaptionHeight + Gap),
                 QImage::Format_RGB32);
    sheet.fill(QColor(0xF3, 0xF4, 0xF6));
    QPainter painter(&sheet);
    for (int i = 0; i < results.size(); ++i) {
        const RouteResult& result = results.at(i);
        const QPoint cell(Gap + (i % Columns) * (cellWidth + Gap),
                          Gap + (i / Columns) * (cellHeight + CaptionHeight + Gap));
        if (result.image.isNull()) {
            painter.fillRect(QRect(cell, QSize(64, 64)), Qt::darkRed);
        } else {
            painter.drawImage(cell, displayed(result));
        }
        painter.setPen(QColor(0x30, 0x36, 0x3D));
        painter.drawText(QRect(cell.x(), cell.y() + cellHeight + 4, cellWidth, CaptionHeight - 4),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                         result.image.isNull() ? result.caption + QStringLiteral(" (failed)")
                                               : result.caption);
    }
    return sheet;
}

} // namespace mailvane::gallery
