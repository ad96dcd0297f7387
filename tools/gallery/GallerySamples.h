#pragma once

// The sample pictures the gallery feeds through the image container's routes:
// drawn here, packed into a small skin library, then loaded back.

#include <QByteArray>
#include <QImage>

namespace mailvane::gallery {

// Resource numbers inside the sample library.
inline constexpr int SampleBitmap = 1;
inline constexpr int SamplePng = 2;
inline constexpr int SampleGif = 3;
inline constexpr int SampleWbmp = 4;
inline constexpr int SampleOta = 5;

QImage sampleBitmap();
QImage samplePngWithAlpha();
QByteArray sampleAnimatedGif();
QByteArray sampleWbmp();
QByteArray sampleOta();
// A light checkerboard to show transparency against.
QImage checkerboard(int width, int height);

} // namespace mailvane::gallery
