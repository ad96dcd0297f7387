#include "MainWindowLayout.h"

#include <algorithm>

namespace mailvane::app {

int MainWindowLayout::sideSpace(const MainWindowParts& parts)
{
    return std::max(3 * Margin, 2 * parts.leftBarWidth + Margin);
}

QSize MainWindowLayout::size(const MainWindowParts& parts)
{
    const int rows = parts.menuHeight + parts.topBarHeight + RowGap + parts.headingHeight + RowGap +
                     std::max(parts.recipientsEditHeight, parts.chooseButton.height()) + RowGap;
    return {parts.sheet.width() + sideSpace(parts), rows + parts.sheet.height() + SheetBottomSpace};
}

MainWindowPlaces MainWindowLayout::places(const MainWindowParts& parts, QSize window)
{
    MainWindowPlaces places;
    places.menuBar = QRect(0, 0, window.width(), parts.menuHeight);

    const int sheetWidth = std::max(parts.sheet.width(), window.width() - sideSpace(parts));
    const int left = (window.width() - sheetWidth) / 2 + 10;
    const int right = left + sheetWidth;
    int y = parts.menuHeight + parts.topBarHeight + RowGap;

    places.heading = QRect(left, y, right - left, parts.headingHeight);
    y += parts.headingHeight + RowGap;

    const QSize choose = parts.chooseButton;
    const int rowHeight = std::max(parts.recipientsEditHeight, choose.height());
    places.chooseButton = QRect(QPoint(left, y + (rowHeight - choose.height()) / 2), choose);
    const int editLeft = left + choose.width() + RowGap;
    places.recipientsEdit = QRect(editLeft, y + (rowHeight - parts.recipientsEditHeight) / 2,
                                  right - editLeft, parts.recipientsEditHeight);

    const int sheetTop =
        std::max(y + rowHeight + RowGap, window.height() - parts.sheet.height() - SheetBottomSpace);
    places.sheet = QRect(left, sheetTop, sheetWidth, window.height() - SheetBottomSpace - sheetTop);

    const int bandTop = places.sheet.bottom() + 1;
    const int buttonY = bandTop + (SheetBottomSpace - parts.sendButton.height()) / 2;
    places.emptyButton = QRect(QPoint(left, buttonY), parts.emptyButton);
    places.sendButton = QRect(QPoint(right - parts.sendButton.width(), buttonY), parts.sendButton);
    return places;
}

} // namespace mailvane::app
