#include "SkinTabBar.h"
#include "SkinTabPage.h"
#include "SkinTabWidget.h"
#include "TabComposer.h"
#include "TestResourceBundle.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace mailvane::widgets {
namespace {

using S = SkinTabBar::Slot;

constexpr QRgb Snapshot = 0xFF0AC80A;

QRgb slotColour(int slot)
{
    return qRgb(150 + slot * 5, 160 + slot * 4, 230 - slot * 3); // light: text stays darkest
}

QImage flat(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Flat pictures of distinct colours and sizes, none with a mask.
TabPictures syntheticPictures()
{
    const QSize sizes[16] = {{6, 6},  {3, 4},  {6, 20}, {8, 24}, {6, 24}, {4, 24}, {8, 24}, {6, 24},
                             {4, 20}, {8, 20}, {6, 20}, {4, 3},  {6, 6},  {3, 4},  {6, 6},  {4, 3}};
    TabPictures pictures;
    for (int slot = 0; slot < 16; ++slot)
        pictures[slot].colour = flat(sizes[slot].width(), sizes[slot].height(), slotColour(slot));
    return pictures;
}

// Three tabs 50, 61 and 55 wide, the middle one selected. The walk:
// idle first tab: slot 2 at 0, middle 6..46; selected: slot 3 at 46, middle
// 54..107 (the last tile cut to 1 pixel), slot 6 at 107; idle last tab after
// the selected one: no left part, middle 115..163, slot 10 at 163..169.
const QList<QRect> Items{{2, 2, 50, 24}, {52, 2, 61, 24}, {113, 2, 55, 24}};
constexpr QSize Client{220, 120};

TEST(TabComposer, walksTheTabsWithTheSelectedOneHigherAndTilesCutToFit)
{
    const TabPictures pictures = syntheticPictures();
    const QImage out =
        TabComposer::compose(flat(220, 120, Snapshot), Client, pictures, Items, 1, 0xFFF3F4F6);
    struct Probe
    {
        const char* what;
        QPoint at;
        QRgb expected;
    };
    const Probe probes[] = {
        {"idle tabs leave the top 4 rows", {10, 3}, Snapshot},
        {"idle first tab, left part", {2, 4}, slotColour(S::IdleFirstLeft)},
        {"idle middle", {45, 10}, slotColour(S::IdleMiddle)},
        {"selected left part at the top", {46, 0}, slotColour(S::SelectedLeft)},
        {"selected middle", {80, 0}, slotColour(S::SelectedMiddle)},
        {"selected middle's cut last tile", {106, 0}, slotColour(S::SelectedMiddle)},
        {"selected right part", {107, 0}, slotColour(S::SelectedRight)},
        {"idle tab after the selected one starts in its middle",
         {115, 4},
         slotColour(S::IdleMiddle)},
        {"selected right part still shows over its half", {114, 4}, slotColour(S::SelectedRight)},
        {"last idle tab's right part", {163, 4}, slotColour(S::IdleLastRight)},
        {"frame top from the strip's end", {169, 23}, slotColour(S::FrameTop)},
        {"not before it", {175, 22}, Snapshot},
        {"top-right corner", {214, 23}, slotColour(S::FrameTopRight)},
        {"right edge", {214, 60}, slotColour(S::FrameRight)},
        {"bottom-right corner", {219, 119}, slotColour(S::FrameBottomRight)},
        {"bottom-left corner", {0, 119}, slotColour(S::FrameBottomLeft)},
        {"bottom edge", {100, 116}, slotColour(S::FrameBottom)},
        {"left edge", {0, 60}, slotColour(S::FrameLeft)},
        {"page area", {3, 24}, 0xFFF3F4F6},
        {"page area", {213, 113}, 0xFFF3F4F6},
        {"right of the frame's left edge", {3, 113}, 0xFFF3F4F6},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(out.pixel(p.at), p.expected) << p.what << " at " << p.at.x() << "," << p.at.y();
    EXPECT_EQ(TabComposer::stripEnd(pictures, Items, 1), 169);
}

TEST(TabComposer, firstAndLastSelectedTabsUseTheirOwnPieces)
{
    const TabPictures pictures = syntheticPictures();
    const QImage first =
        TabComposer::compose(flat(220, 120, Snapshot), Client, pictures, Items, 0, 0xFFF3F4F6);
    EXPECT_EQ(first.pixel(0, 0), slotColour(S::SelectedFirstLeft));
    // The right part of a selected first tab: 50 − 6 − 4 + 6 = 46.
    EXPECT_EQ(first.pixel(46, 0), slotColour(S::SelectedRight));
    // The next tab begins in its middle, under the selected right part's half.
    EXPECT_EQ(first.pixel(54, 4), slotColour(S::IdleMiddle));

    const QImage last =
        TabComposer::compose(flat(220, 120, Snapshot), Client, pictures, Items, 2, 0xFFF3F4F6);
    // Idle middle tab: slot 9 at 46, middle to 107; selected last: slot 3 at
    // 107..115, right part slot 7 at 55 − 4 − 6 + 115 = 160, the strip ending
    // one pixel short of its end.
    EXPECT_EQ(last.pixel(46, 4), slotColour(S::IdleLeft));
    EXPECT_EQ(last.pixel(107, 0), slotColour(S::SelectedLeft));
    EXPECT_EQ(last.pixel(160, 0), slotColour(S::SelectedLastRight));
    EXPECT_EQ(TabComposer::stripEnd(pictures, Items, 2), 165);
}

TEST(TabComposer, missingPicturesShowTheSnapshotAndMasksBlendOverIt)
{
    TabPictures pictures = syntheticPictures();
    pictures[S::FrameTop] = {};
    // The top-right corner fully transparent on its left half.
    QImage mask = flat(6, 6, qRgb(0, 0, 0));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 3; ++x)
            mask.setPixel(x, y, qRgb(255, 255, 255));
    pictures[S::FrameTopRight].mask = mask;
    const QImage out =
        TabComposer::compose(flat(220, 120, Snapshot), Client, pictures, Items, 1, 0xFFF3F4F6);
    EXPECT_EQ(out.pixel(180, 23), Snapshot);
    const auto scaled = [](QRgb c, int by) {
        return qRgb(qRed(c) * by / 256, qGreen(c) * by / 256, qBlue(c) * by / 256);
    };
    EXPECT_EQ(out.pixel(214, 23), scaled(Snapshot, 255));
    EXPECT_EQ(out.pixel(218, 23), scaled(slotColour(S::FrameTopRight), 255));
}

// The topmost row with a dark (text) pixel inside `area`.
int textTop(const QImage& image, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100)
                return y;
    return -1;
}

class SkinnedTabs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const TabPictures pictures = syntheticPictures();
        for (int slot = 0; slot < 16; ++slot)
            bundle.addBitmap(QString::number(SkinTabBar::MainSheetNumbers[slot]),
                             pictures[slot].colour);
        skin = bundle.load();
        ASSERT_FALSE(skin.isEmpty());
    }
    test::TestResourceBundle bundle;
    platform::LibraryHandle skin;
};

TEST_F(SkinnedTabs, textsSitThreePixelsLowerExceptOnTheSelectedSkinnedTab)
{
    for (bool skinned : {true, false}) {
        SkinTabBar tabs;
        tabs.resize(300, 150);
        for (const char* text : {"Tab", "Tab", "Tab"})
            tabs.addTab(QString::fromLatin1(text));
        if (skinned) {
            tabs.setSkin(skin, SkinTabBar::MainSheetNumbers);
            tabs.setBackground(flat(400, 400, 0xFFFFFFFF), 10, 10);
        }
        tabs.setCurrentIndex(1);
        const QImage shot = tabs.render();
        const int selected = textTop(shot, tabs.itemRect(1).adjusted(0, 0, 0, 6));
        const int idle = textTop(shot, tabs.itemRect(2).adjusted(0, 0, 0, 6));
        ASSERT_GE(selected, 0);
        EXPECT_EQ(idle - selected, skinned ? 3 : 0) << (skinned ? "skinned" : "plain");
    }
}

TEST(SkinTabBar, withoutSkinDrawsRoundedTabsInTwoGreysOverTheSnapshot)
{
    SkinTabBar tabs;
    tabs.resize(300, 150);
    tabs.addTab(QStringLiteral("One"));
    tabs.addTab(QStringLiteral("Two"));
    tabs.setCurrentIndex(1);
    const QImage shot = tabs.render();
    const QRect idle = tabs.itemRect(0);
    const QRect selected = tabs.itemRect(1);
    EXPECT_EQ(shot.pixel(idle.left() + 3, idle.top() + 12), SkinTabBar::IdleColour);
    EXPECT_EQ(shot.pixel(selected.right() - 3, selected.top() + 12), SkinTabBar::SelectedColour);
    EXPECT_EQ(shot.pixel(150, 100), SkinTabBar::SelectedColour);
    // Rounded corners: the very corner of a tab shows what is behind.
    EXPECT_EQ(shot.pixel(selected.topLeft()), tabs.palette().color(QPalette::Window).rgb());
    // The outline runs along the tab's top.
    EXPECT_EQ(shot.pixel(selected.center().x(), selected.top()), SkinTabBar::OutlineColour);
}

// A page that notes what the tab strip showed when it was activated.
class NotingPage : public SkinTabPage
{
public:
    bool onSetActive() override
    {
        seenIndex = sheet()->tabControl()->currentIndex();
        seenComposition = sheet()->tabControl()->composition();
        return true;
    }
    int seenIndex = -1;
    QImage seenComposition;
};

TEST_F(SkinnedTabs, activatingAPageRecomposesFirstAndKeysChangePages)
{
    QWidget host;
    host.resize(400, 300);
    auto* sheet = new SkinTabWidget(&host);
    sheet->setGeometry(10, 10, 360, 260);
    sheet->tabControl()->setSkin(skin, SkinTabBar::MainSheetNumbers);
    QList<NotingPage*> pages;
    for (const char* title : {"General", "Advanced", "Incoming", "Outgoing"}) {
        pages.append(new NotingPage);
        sheet->addPage(pages.last(), QString::fromLatin1(title));
    }
    auto* edit = new QLineEdit(pages[0]);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));

    ASSERT_TRUE(sheet->setActivePage(2));
    EXPECT_EQ(pages[2]->seenIndex, 2);
    const QRect selected = sheet->tabControl()->itemRect(2);
    // The composition the page saw already had its tab raised.
    EXPECT_EQ(pages[2]->seenComposition.pixel(selected.left() + 10, 1),
              slotColour(S::SelectedMiddle));
    EXPECT_FALSE(sheet->setActivePage(4));
    EXPECT_EQ(sheet->activeIndex(), 2);

    sheet->tabControl()->setFocus();
    QTest::keyClick(sheet->tabControl(), Qt::Key_Right);
    EXPECT_EQ(sheet->activeIndex(), 3);
    QTest::keyClick(sheet->tabControl(), Qt::Key_Left);
    EXPECT_EQ(sheet->activeIndex(), 2);

    ASSERT_TRUE(sheet->setActivePage(0));
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(sheet->activeIndex(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                    Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(sheet->activeIndex(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                    Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(sheet->activeIndex(), 3) << "wraps round";
    // A page sits inside the frame and paints its colour.
    const QImage page = pages[3]->grab().toImage();
    EXPECT_EQ(page.pixel(5, 5), SkinTabPage::BackgroundColour);
}

} // namespace
} // namespace mailvane::widgets
