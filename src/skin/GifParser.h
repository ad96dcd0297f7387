#pragma once

// Walks the block structure of a GIF file without decoding any pixels: where
// each frame's bytes lie and what its graphic control extension says.

#include <QByteArray>
#include <QList>
#include <QRgb>
#include <array>
#include <cstdint>
#include <optional>

namespace mailvane::skin {

struct GifFrameInfo
{
    qsizetype offset = 0; // of the image descriptor (0x2C)
    qsizetype length = 0; // descriptor, local colour table, code size, data blocks
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int disposal = 0;     // bits 2 to 4 of the control extension's flags
    int delay = 0;        // hundredths of a second
    int transparent = -1; // colour index, or -1
    bool hasControl = false;
    std::array<std::uint8_t, 4> control{}; // the extension's four data bytes
};

struct GifStructure
{
    int screenWidth = 0;
    int screenHeight = 0;
    QRgb background = qRgb(0, 0, 0); // global table entry named by the header
    int loopCount = 1;
    QList<GifFrameInfo> frames;
    // Bytes before the first frame's descriptor: header, colour table, extensions.
    qsizetype prefixLength = 0;
};

class GifParser
{
public:
    static constexpr int MaxFrames = 256;
    static constexpr int HeaderLength = 13;

    // The structure of `bytes`, or nothing when they are not a GIF. Parsing
    // stops at the trailer, at an unknown block or where the data is cut short;
    // a frame whose data is cut short is not listed.
    static std::optional<GifStructure> parse(const QByteArray& bytes);
};

} // namespace mailvane::skin
