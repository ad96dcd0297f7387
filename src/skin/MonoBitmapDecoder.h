#pragma once

// The two one-bit formats of phones: WBMP (type 0) and the OTA bitmap. Both
// are read only from small files, and both give a black-and-white section.

#include <QByteArray>
#include <QImage>

namespace mailvane::skin {

class MonoBitmapDecoder
{
public:
    static constexpr qsizetype MaxFileSize = 8196;

    // WBMP type 0: bytes 0 and 1 are 0, then width and height bytes, then
    // rows of width bits padded to whole bytes, most significant bit first;
    // a set bit is white. Null when the file does not fit that shape.
    static QImage decodeWbmp(const QByteArray& bytes);

    // OTA bitmap: byte 0 is 0, then width, height and a depth of 1, then
    // width × height bits without row padding, most significant bit first; a
    // set bit is black. Null when the file does not fit that shape.
    static QImage decodeOta(const QByteArray& bytes);
};

} // namespace mailvane::skin
