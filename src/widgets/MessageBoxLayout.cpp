#include "MessageBoxLayout.h"

#include <algorithm>

namespace mailvane::widgets {

int MessageBoxLayout::rowWidth(int buttonCount, int buttonWidth)
{
    return buttonCount * buttonWidth + ButtonGap * (buttonCount - 1) + RowPadding;
}

int MessageBoxLayout::maxTextWidth(int screenWidth, int iconWidth)
{
    const int textLeft = iconWidth > 0 ? iconWidth + 2 * Margin : Margin;
    const int box = screenWidth * ScreenShareNumerator / ScreenShareDenominator;
    // Room for a few words even on the smallest screen.
    constexpr int Least = 160;
    return std::max(box - textLeft - Margin, Least);
}

MessageBoxGeometry MessageBoxLayout::compute(const MessageBoxMeasures& m)
{
    MessageBoxGeometry g;
    g.buttonWidth = std::max(m.widestButton, MinimumButtonWidth);
    const int row = rowWidth(m.buttonCount, g.buttonWidth);
    const int captionMinimum = m.captionWidth + m.captionButton + RowPadding;

    const int textLeft = m.iconWidth > 0 ? m.iconWidth + 2 * Margin : Margin;
    g.textRect = QRect(QPoint(textLeft, Margin), m.textSize);

    const int width = std::max({g.textRect.right() + 1 + Margin, captionMinimum, row});
    const int height = m.captionHeight + m.textSize.height() + m.buttonHeight + HeightPadding;
    g.window = QSize(width, height);
    g.client = QSize(width, height - m.captionHeight);

    g.buttonTop = g.client.height() - m.buttonHeight - ButtonBottomGap;
    const int c = g.client.width() / 2;
    const int w = g.buttonWidth;
    switch (m.buttonCount) {
    case 1:
        g.buttonLefts = {c - w / 2};
        break;
    case 2:
        g.buttonLefts = {c - w - ButtonGap, c};
        break;
    default:
        g.buttonLefts = {c - w / 2 - w - ButtonGap, c - w / 2, c + w / 2 + ButtonGap};
        break;
    }
    return g;
}

} // namespace mailvane::widgets
