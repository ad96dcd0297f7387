// The GIF walk and the composer: every frame the parser lists lies inside the
// file, after the one before; a composed animation has one picture of the
// logical screen and one delay for each listed frame.

#include "FuzzCheck.h"
#include "GifComposer.h"
#include "GifParser.h"

using namespace mailvane::skin;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto gif = GifParser::parse(bytes);
    if (!gif)
        return 0;
    FUZZ_CHECK(gif->frames.size() <= GifParser::MaxFrames);
    qsizetype end = gif->frames.isEmpty() ? bytes.size() : gif->prefixLength;
    FUZZ_CHECK(end >= GifParser::HeaderLength && end <= bytes.size());
    for (const GifFrameInfo& frame : gif->frames) {
        FUZZ_CHECK(frame.offset >= end && frame.length > 0);
        FUZZ_CHECK(frame.offset + frame.length <= bytes.size());
        FUZZ_CHECK(bytes.at(frame.offset) == '\x2C');
        end = frame.offset + frame.length;
    }
    for (int i = 0; i < gif->frames.size(); ++i) {
        const QByteArray alone = GifComposer::standAloneFrame(bytes, *gif, i);
        FUZZ_CHECK(alone.size() == gif->prefixLength + gif->frames.at(i).length + 1);
    }

    // Composing paints every frame on the whole screen; a screen of millions
    // of pixels is legal but makes each run take seconds, and the painting is
    // the same at any size. The walk above is checked at every size.
    if (qint64{gif->screenWidth} * gif->screenHeight > 256 * 256)
        return 0;
    const auto composed = GifComposer::compose(bytes);
    if (!composed)
        return 0;
    FUZZ_CHECK(composed->frames.size() == gif->frames.size());
    FUZZ_CHECK(composed->delays.size() == gif->frames.size());
    for (const QImage& frame : composed->frames)
        FUZZ_CHECK(frame.width() == gif->screenWidth && frame.height() == gif->screenHeight);
    return 0;
}
