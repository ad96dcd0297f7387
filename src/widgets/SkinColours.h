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

    // Gives `widget`, and the children that draw their text straight onto it
    // (labels, check boxes, radio buttons, group titles), the skin's text
    // colours. Children with a face of their own (edits, lists, combo
    // boxes) keep the theme's.
    static void useSkinText(QWidget* widget);
};

} // namespace mailvane::widgets
