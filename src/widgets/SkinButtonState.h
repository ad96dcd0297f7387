#pragma once

// What a bitmap button knows, whether or not its window exists yet: dialogs
// give a button its shape and images before they create its window.

#include "ButtonShape.h"
#include "ResourceLibrary.h"
#include "SkinColours.h"

#include <QFont>
#include <QImage>
#include <QRegion>
#include <QString>
#include <array>
#include <optional>

namespace mailvane::widgets {

enum class ButtonState : int
{
    Normal = 0,
    Pressed = 1,
    Hover = 2,
    Disabled = 3
};

inline constexpr int ButtonStateCount = 4;

// The three pictures one state is painted from; a null image is a missing piece.
struct ButtonPieces
{
    QImage left;
    QImage middle; // stretched between the caps
    QImage right;

    bool complete() const { return !left.isNull() && !middle.isNull() && !right.isNull(); }
};

struct SkinButtonState
{
    platform::LibraryHandle module;
    int controlNumber = 0;
    QString text;
    ButtonState state = ButtonState::Normal;
    bool tracking = false;   // a leave notification is wanted
    bool keyPressed = false; // the space bar holds the button down
    bool focused = false;
    std::array<ButtonPieces, ButtonStateCount> pieces; // indexed by ButtonState

    const ButtonPieces& currentPieces() const { return pieces[size_t(state)]; }
    QRegion hitRegion{0, 0, 2, 2};
    std::optional<ButtonShapeRegions> shapeRegions;
    QRect middleSpan;
    QFont font;
    // The label's colours: the skin's own unless the button's pictures are
    // drawn in the theme's colours.
    QRgb textColour = SkinColours::Text;
    QRgb disabledTextColour = SkinColours::DisabledText;

    ButtonState hitTest(const QPoint& point) const
    {
        return hitRegion.contains(point) ? ButtonState::Hover : ButtonState::Normal;
    }
};

} // namespace mailvane::widgets
