#include "MonoBitmapDecoder.h"

#include "Dib24.h"

#include <cstdint>

namespace mailvane::skin {
namespace {

constexpr int WbmpHeaderLength = 4;
constexpr int OtaHeaderLength = 4;
constexpr std::uint32_t White = 0xFFFFFF;
constexpr std::uint32_t Black = 0x000000;

bool bitAt(const QByteArray& bytes, qsizetype start, qsizetype bit)
{
    const auto byte = std::uint8_t(bytes[start + bit / 8]);
    return (byte >> (7 - bit % 8)) & 1;
}

std::uint8_t byteAt(const QByteArray& bytes, int i)
{
    return std::uint8_t(bytes[i]);
}

} // namespace

QImage MonoBitmapDecoder::decodeWbmp(const QByteArray& bytes)
{
    if (bytes.size() < WbmpHeaderLength || bytes.size() > MaxFileSize)
        return {};
    if (byteAt(bytes, 0) != 0 || byteAt(bytes, 1) != 0)
        return {};
    const int width = byteAt(bytes, 2);
    const int height = byteAt(bytes, 3);
    const int rowBytes = (width + 7) / 8;
    if (width == 0 || height == 0 || bytes.size() < WbmpHeaderLength + qsizetype(rowBytes) * height)
        return {};
    QImage image = dib::newSection(width, height);
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        const qsizetype start = WbmpHeaderLength + qsizetype(y) * rowBytes;
        for (int x = 0; x < width; ++x)
            dib::setPixelValue(row + 3 * x, bitAt(bytes, start, x) ? White : Black);
    }
    return image;
}

QImage MonoBitmapDecoder::decodeOta(const QByteArray& bytes)
{
    if (bytes.size() < OtaHeaderLength || bytes.size() > MaxFileSize)
        return {};
    if (byteAt(bytes, 0) != 0 || byteAt(bytes, 3) != 1)
        return {};
    const int width = byteAt(bytes, 1);
    const int height = byteAt(bytes, 2);
    if (width == 0 || height == 0)
        return {};
    const qsizetype dataBytes = (qsizetype(width) * height - 1) / 8 + 1;
    if (bytes.size() < OtaHeaderLength + dataBytes)
        return {};
    QImage image = dib::newSection(width, height);
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const bool set = bitAt(bytes, OtaHeaderLength, qsizetype(y) * width + x);
            dib::setPixelValue(row + 3 * x, set ? Black : White);
        }
    }
    return image;
}

} // namespace mailvane::skin
