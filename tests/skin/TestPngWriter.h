#pragma once

// Writes small PNG streams with libpng so that decoder tests can state their
// input pixel by pixel, in every colour type, depth and interlace method.

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <vector>

namespace mailvane::test {

struct TestPng
{
    int width = 1;
    int height = 1;
    int colourType = 2; // PNG_COLOR_TYPE_RGB
    int bitDepth = 8;
    bool interlaced = false;
    // Rows exactly as PNG stores them: packed low depths, 16-bit big-endian.
    std::vector<std::vector<std::uint8_t>> rows;
    std::vector<std::uint8_t> palette;      // r, g, b triples
    std::vector<std::uint8_t> paletteAlpha; // tRNS for a palette image
    std::optional<std::uint16_t> transparentGrey;
    std::optional<std::uint16_t> transparentRed, transparentGreen, transparentBlue;
    std::optional<double> gamma;
};

QByteArray encodeTestPng(const TestPng& png);

} // namespace mailvane::test
