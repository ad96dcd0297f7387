#pragma once

// The main window's layout as arithmetic on sizes, apart from the widgets:
// the menu bar across the top, the skin's top and left bars, the heading and
// the recipients row above the sheet, and a fixed band below the sheet for
// the Empty Fields and Send buttons. The sheet stands where the template put
// it: centred with a shift of 10 to the right (past the left bar); the rows
// above and the buttons below line up with its edges.

#include <QRect>
#include <QSize>

namespace mailvane::app {

// What the layout works from: the parts' own sizes.
struct MainWindowParts
{
    int menuHeight = 0;
    int topBarHeight = 0; // 0 without a skin
    int leftBarWidth = 0; // 0 without a skin
    QSize sheet;          // the sheet's own size
    int headingHeight = 0;
    int recipientsEditHeight = 0;
    QSize chooseButton;
    QSize emptyButton;
    QSize sendButton;
};

// Where each part goes.
struct MainWindowPlaces
{
    QRect menuBar;
    QRect heading;
    QRect chooseButton;
    QRect recipientsEdit;
    QRect sheet;
    QRect emptyButton;
    QRect sendButton;
};

class MainWindowLayout
{
public:
    static constexpr int Margin = 16;
    static constexpr int RowGap = 10;
    // The band below the sheet that holds the two buttons.
    static constexpr int SheetBottomSpace = 95;

    // The width beside the sheet: the left bar and a margin on that side,
    // since the sheet is shifted 10 to the right of centre.
    static int sideSpace(const MainWindowParts& parts);

    // The window size that holds the parts at their own sizes.
    static QSize size(const MainWindowParts& parts);

    // The places of the parts in a window of size `window`: a wider window
    // widens the sheet, a taller one moves the sheet down.
    static MainWindowPlaces places(const MainWindowParts& parts, QSize window);
};

} // namespace mailvane::app
