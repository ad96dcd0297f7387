#pragma once

// The size arithmetic of the message box, apart from any window so that it
// can be checked by itself: the button row, the caption's minimum width, the
// text rectangle, the window size and the buttons' places.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace mailvane::widgets {

struct MessageBoxMeasures
{
    int buttonCount = 1;
    int widestButton = 0;  // widest button after sizing to its label
    int buttonHeight = 0;  // of the first button in the order OK, Cancel, Yes, No
    int captionWidth = 0;  // the caption measured in the caption font
    int captionButton = 0; // width of one title-bar button
    int captionHeight = 0; // height of the title bar
    int iconWidth = 0;     // 0 without an icon
    QSize textSize;        // the text measured on its own lines, no word wrap
};

struct MessageBoxGeometry
{
    QSize window; // including the title bar
    QSize client; // window less the title bar
    QRect textRect;
    int buttonWidth = 0;
    int buttonTop = 0;
    QList<int> buttonLefts; // in creation order: OK/Yes first, then No, then Cancel
};

class MessageBoxLayout
{
public:
    static constexpr int Margin = 21;
    static constexpr int MinimumButtonWidth = 80;
    static constexpr int ButtonGap = 5;
    static constexpr int RowPadding = 42;
    static constexpr int HeightPadding = 63;
    static constexpr int ButtonBottomGap = 10;

    // A box is at most this share of the screen wide: a longer line (a path)
    // wraps instead of pushing the buttons off the screen.
    static constexpr int ScreenShareNumerator = 2;
    static constexpr int ScreenShareDenominator = 3;

    static int rowWidth(int buttonCount, int buttonWidth);
    // The widest the text may be on a screen `screenWidth` wide.
    static int maxTextWidth(int screenWidth, int iconWidth);
    static MessageBoxGeometry compute(const MessageBoxMeasures& measures);
};

} // namespace mailvane::widgets
