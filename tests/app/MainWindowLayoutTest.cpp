#include "MainWindowLayout.h"

#include "QtPrinters.h"

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

TEST(MainWindowLayout, theWindowHoldsThePartsAtTheirOwnSizes)
{
    MainWindowParts parts = skinnedParts();
    // 400 + 48 beside the sheet; 20 + 30 + 10 + 18 + 10 + 30 + 10 above it, 95 below.
    EXPECT_EQ(MainWindowLayout::size(parts), QSize(448, 523));

    // A wide left bar takes more room beside the sheet; a recipients edit
    // taller than the button sets the row's height.
    parts.leftBarWidth = 40;
    parts.recipientsEditHeight = 36;
    EXPECT_EQ(MainWindowLayout::size(parts), QSize(496, 529));
}

struct PlacesCase
{
    const char* name;
    QSize window;
    MainWindowPlaces expected;
};

TEST(MainWindowLayout, thePartsLineUpWithTheSheetAndTheButtonsSitInTheBandBelowIt)
{
    const PlacesCase cases[] = {
        {"at its own size",
         QSize(448, 523),
         {QRect(0, 0, 448, 20), QRect(34, 60, 400, 18), QRect(34, 88, 100, 30),
          QRect(144, 91, 290, 24), QRect(34, 128, 400, 300), QRect(34, 460, 110, 30),
          QRect(344, 460, 90, 30)}},
        {"wider and taller: the sheet widens and moves down",
         QSize(548, 600),
         {QRect(0, 0, 548, 20), QRect(34, 60, 500, 18), QRect(34, 88, 100, 30),
          QRect(144, 91, 390, 24), QRect(34, 205, 500, 300), QRect(34, 537, 110, 30),
          QRect(444, 537, 90, 30)}},
    };
    for (const PlacesCase& c : cases) {
        SCOPED_TRACE(c.name);
        const MainWindowPlaces places = MainWindowLayout::places(skinnedParts(), c.window);
        EXPECT_EQ(places.menuBar, c.expected.menuBar);
        EXPECT_EQ(places.heading, c.expected.heading);
        EXPECT_EQ(places.chooseButton, c.expected.chooseButton);
        EXPECT_EQ(places.recipientsEdit, c.expected.recipientsEdit);
        EXPECT_EQ(places.sheet, c.expected.sheet);
        EXPECT_EQ(places.emptyButton, c.expected.emptyButton);
        EXPECT_EQ(places.sendButton, c.expected.sendButton);
    }
}

} // namespace
