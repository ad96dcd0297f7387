#include "MainWindowLayout.h"

#include "QtPrinters.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <gtest/gtest.h>

using mailvane::app::MainWindowLayout;
using mailvane::app::MainWindowParts;
using mailvane::app::MainWindowPlaces;

namespace {

// A skinned window's parts: menu 20 high, top bar 30, left bar 12.
MainWindowParts skinnedParts()
{
    MainWindowParts parts;
    parts.menuHeight = 20;
    parts.topBarHeight = 30;
    parts.leftBarWidth = 12;
    parts.sheet = QSize(400, 300);
    parts.headingHeight = 18;
    parts.recipientsEditHeight = 24;
    parts.chooseButton = QSize(100, 30);
    parts.emptyButton = QSize(110, 30);
    parts.sendButton = QSize(90, 30);
    return parts;
}

MainWindowParts unskinnedParts()
{
    MainWindowParts parts = skinnedParts();
    parts.topBarHeight = 0;
    parts.leftBarWidth = 0;
    return parts;
}

struct LayoutCase
{
    const char* name;
    MainWindowParts parts;
    QSize extra; // the window's size beyond the size the layout asks for
};

// Checks what a window of any of these sizes must show, not the arithmetic
// that gets there: every part whole and inside the window, past the skin's
// bars, none over another, in order from top to bottom, lined up with the
// sheet's edges, at its own size, with equal gaps between the rows, and the
// extra room given to the sheet.
TEST(MainWindowLayout, thePartsFitWithoutOverlapLinedUpWithTheSheetAtTheirOwnSizes)
{
    MainWindowParts wideBar = skinnedParts();
    wideBar.leftBarWidth = 40;
    wideBar.recipientsEditHeight = 36; // taller than the button beside it
    const LayoutCase cases[] = {
        {"skinned, at its own size", skinnedParts(), QSize(0, 0)},
        {"skinned, wider and taller", skinnedParts(), QSize(100, 77)},
        {"a wide left bar and a tall edit", wideBar, QSize(0, 0)},
        {"a wide left bar, wider", wideBar, QSize(51, 0)},
        {"without a skin", unskinnedParts(), QSize(0, 0)},
        {"without a skin, taller", unskinnedParts(), QSize(0, 40)},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        const MainWindowParts& parts = c.parts;
        const QSize window = MainWindowLayout::size(parts) + c.extra;
        const MainWindowPlaces p = MainWindowLayout::places(parts, window);
        const QRect all[] = {p.menuBar, p.heading,     p.chooseButton, p.recipientsEdit,
                             p.sheet,   p.emptyButton, p.sendButton};
        for (std::size_t i = 0; i < std::size(all); ++i) {
            EXPECT_FALSE(all[i].isEmpty()) << i;
            EXPECT_TRUE(QRect(QPoint(), window).contains(all[i])) << i << " is clipped";
            if (i > 0) {
                EXPECT_GE(all[i].top(), parts.menuHeight + parts.topBarHeight) << i;
                EXPECT_GE(all[i].left(), parts.leftBarWidth) << i;
            }
            for (std::size_t j = 0; j < i; ++j)
                EXPECT_FALSE(all[i].intersects(all[j])) << i << " overlaps " << j;
        }

        const int rowTop = std::min(p.chooseButton.top(), p.recipientsEdit.top());
        const int rowBottom = std::max(p.chooseButton.bottom(), p.recipientsEdit.bottom());
        EXPECT_LT(p.heading.bottom(), rowTop);
        EXPECT_LT(rowBottom, p.sheet.top());
        EXPECT_LT(p.sheet.bottom(), std::min(p.emptyButton.top(), p.sendButton.top()));
        EXPECT_LT(p.chooseButton.right(), p.recipientsEdit.left());
        EXPECT_LT(p.emptyButton.right(), p.sendButton.left());

        for (const QRect& part : {p.heading, p.chooseButton, p.emptyButton})
            EXPECT_EQ(part.left(), p.sheet.left());
        for (const QRect& part : {p.heading, p.recipientsEdit, p.sendButton})
            EXPECT_EQ(part.right(), p.sheet.right());
        EXPECT_EQ(p.menuBar.width(), window.width());

        EXPECT_EQ(p.heading.height(), parts.headingHeight);
        EXPECT_EQ(p.chooseButton.size(), parts.chooseButton);
        EXPECT_EQ(p.recipientsEdit.height(), parts.recipientsEditHeight);
        EXPECT_EQ(p.emptyButton.size(), parts.emptyButton);
        EXPECT_EQ(p.sendButton.size(), parts.sendButton);
        // A wider window widens the sheet; a taller one moves it down.
        EXPECT_EQ(p.sheet.size(),
                  QSize(parts.sheet.width() + c.extra.width(), parts.sheet.height()));
        // Free rows between the top bar, the heading, the row and the sheet.
        const int headingGap = rowTop - p.heading.bottom() - 1;
        EXPECT_EQ(p.heading.top() - (parts.menuHeight + parts.topBarHeight), headingGap);
        EXPECT_EQ(p.sheet.top() - rowBottom - 1, headingGap + c.extra.height());
        // The buttons stand in the middle of the band below the sheet.
        EXPECT_LE(std::abs((p.sendButton.top() - p.sheet.bottom()) -
                           (window.height() - p.sendButton.bottom())),
                  1);
        // The sheet keeps the template's place: centred, 10 to the right.
        EXPECT_LE(std::abs(p.sheet.left() - (window.width() - 1 - p.sheet.right()) - 20), 1);
    }
}

} // namespace
