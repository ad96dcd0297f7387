#pragma once

#include "SkinButtonState.h"

#include <QPalette>

class QPainter;

namespace mailvane::widgets {

// Paints a bitmap button: caps at both ends with the middle piece stretched
// between them (grey when the state lacks a piece), the text centred on one
// line with an ellipsis when it is too long, and the focus rectangle, both in
// the button's text colour.
class SkinButtonPainter
{
public:
    static constexpr QRgb MissingImageGrey = 0x808080;
    static constexpr int FocusInset = 3;

    static void paint(QPainter& painter, const SkinButtonState& button, const QRect& client);

private:
    static bool paintImages(QPainter& painter, const SkinButtonState& button, const QRect& client);
    static void paintText(QPainter& painter, const SkinButtonState& button, const QRect& client);
};

} // namespace mailvane::widgets
