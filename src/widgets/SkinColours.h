#pragma once

// The skin's own text colours. Skinned surfaces (a dialog painted from the
// skin, the settings pages, a skinned message box, the bitmap buttons) have
// a fixed light look, so their text keeps these colours whatever the desktop
// theme says; windows without a skin follow the theme.

#include <QRgb>

class QWidget;

namespace mailvane::widgets {

class SkinColours
{
public:
    static constexpr QRgb Text = 0xFF000000;
    static constexpr QRgb DisabledText = 0xFF808080;

    // Gives `widget` and its children the light palette of the style with
    // the skin's text colours: the skin is light whatever the desktop, and a
    // dark desktop's palette on it would turn radio marks into dark discs,
    // hide the current row of a list and make disabled fields look enabled.
    static void useSkinPalette(QWidget* widget);
};

} // namespace mailvane::widgets
