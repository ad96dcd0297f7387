#include "GifComposer.h"

#include "DiagnosticTrace.h"
#include "Dib24.h"
#include "PictureGate.h"
#include "PictureLimits.h"
#include "PictureLoader.h"

#include <QPainter>

namespace mailvane::skin {
namespace {

constexpr char Trailer = 0x3B;
constexpr int DelayUnitMs = 10;

QRect frameRect(const GifFrameInfo& frame)
{
    return {frame.left, frame.top, frame.width, frame.height};
}

} // namespace

QByteArray GifComposer::standAloneFrame(const QByteArray& bytes, const GifStructure& gif, int index)
{
    const GifFrameInfo& frame = gif.frames.at(index);
    QByteArray out = bytes.left(gif.prefixLength);
    if (index > 0) {
        const qsizetype control = out.indexOf(QByteArrayView("\x21\xF9\x04", 3));
        if (control >= 0 && control + 7 <= out.size()) {
            for (int i = 0; i < 4; ++i)
                out[control + 3 + i] = char(frame.control[i]);
        }
    }
    out.append(bytes.mid(frame.offset, frame.length));
    out.append(Trailer);
    return out;
}

std::optional<ComposedGif> GifComposer::compose(const QByteArray& bytes,
                                                std::optional<QRgb> backgroundOverride)
{
    const std::optional<GifStructure> gif = GifParser::parse(bytes);
    if (!gif || gif->frames.size() <= 1 || gif->screenWidth <= 0 || gif->screenHeight <= 0)
        return std::nullopt;
    const qint64 screenPixels = qint64{gif->screenWidth} * gif->screenHeight;
    if (!PictureGate::admits(PictureFormat::Gif, bytes) ||
        screenPixels * gif->frames.size() > MaxAnimationPixels)
        return std::nullopt;
    const QColor background = QColor::fromRgb(backgroundOverride.value_or(gif->background));

    ComposedGif result;
    result.loopCount = gif->loopCount;
    QImage canvas(gif->screenWidth, gif->screenHeight, QImage::Format_RGB32);
    if (canvas.isNull())
        return std::nullopt;
    canvas.fill(background);
    for (int i = 0; i < gif->frames.size(); ++i) {
        const GifFrameInfo& frame = gif->frames.at(i);
        const QImage picture = PictureLoader::fromBytes(standAloneFrame(bytes, *gif, i));
        if (picture.isNull())
            return std::nullopt;
        if (i > 0) {
            const GifFrameInfo& previous = gif->frames.at(i - 1);
            canvas = dib::toSection(result.frames.last()).convertToFormat(QImage::Format_RGB32);
            if (canvas.isNull()) {
                platform::diagnosticTrace("BitBlt failed in COBitmapUtil::LoadGIFFileImages");
                return std::nullopt;
            }
            if (previous.disposal == 2) {
                QPainter clear(&canvas);
                if (previous.width != 0)
                    clear.fillRect(frameRect(previous), background);
                clear.fillRect(frameRect(frame), background);
            }
        }
        // The loader gives the frame on a picture of the logical screen; only
        // its own rectangle is drawn, so that nothing outside it is disturbed.
        QPainter painter(&canvas);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        const QRect rect = frameRect(frame);
        painter.drawImage(rect.topLeft(), picture.convertToFormat(QImage::Format_ARGB32), rect);
        painter.end();
        result.frames.append(dib::toSection(canvas));
        result.delays.append(frame.delay * DelayUnitMs);
    }
    return result;
}

} // namespace mailvane::skin
