#pragma once

// Button pictures for a window without a skin library: a rounded button in
// the palette's colours, cut into the left cap, middle and right cap a
// BmpButton is painted from, with white outside its corners as the key
// colour of its shape.

#include <QImage>
#include <QPalette>

namespace mailvane::app {

struct ButtonPieces
{
    QImage left;
    QImage middle;
    QImage right;
};

// States as the bitmap button numbers them: normal, pressed, hover, disabled.
ButtonPieces plainButtonPieces(const QPalette& palette, int state, int height);

} // namespace mailvane::app
