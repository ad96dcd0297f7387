#pragma once

// Button pictures for a window without a skin library: a rounded button in
// the palette's colours, cut into the left cap, middle and right cap a
// SkinButton is painted from, with white outside its corners as the key
// colour of its shape.

#include "SkinButtonState.h"

#include <QPalette>

namespace mailvane::widgets {

// States as the bitmap button numbers them: normal, pressed, hover, disabled.
ButtonPieces plainButtonPieces(const QPalette& palette, int state, int height);

} // namespace mailvane::widgets
