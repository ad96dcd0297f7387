#pragma once

// The tab control of the skinned sheet. It covers the whole sheet: a strip of
// tabs along the top and the frame around the page area below. Skinned, it
// composes both from sixteen pictures of the skin library over a snapshot of
// what lies behind the sheet; without a skin it draws plain rounded tabs in
// two greys. Tab texts are drawn over either, and while the strip has the
// keyboard focus a dotted frame marks the current tab.

#include "ResourceLibrary.h"

#include <QImage>
#include <QStringList>
#include <QWidget>
#include <array>

namespace mailvane::widgets {

// The sixteen picture numbers of the tab strip and frame, in slot order.
using TabSkinNumbers = std::array<int, 16>;

class SkinTabBar : public QWidget
{
    Q_OBJECT

public:
    enum Slot
    {
        FrameBottomLeft = 0,
        FrameLeft = 1,
        IdleFirstLeft = 2,
        SelectedLeft = 3,
        SelectedFirstLeft = 4,
        SelectedMiddle = 5,
        SelectedRight = 6,
        SelectedLastRight = 7,
        IdleMiddle = 8,
        IdleLeft = 9,
        IdleLastRight = 10,
        FrameTop = 11,
        FrameTopRight = 12,
        FrameRight = 13,
        FrameBottomRight = 14,
        FrameBottom = 15,
        SlotCount = 16
    };

    // The numbers the main window's sheet uses.
    static constexpr TabSkinNumbers MainSheetNumbers{155, 156, 158, 160, 166, 152, 151, 150,
                                                     162, 161, 159, 149, 165, 164, 163, 154};
    static constexpr QRgb OutlineColour = 0xFFBBBBBB;
    static constexpr QRgb SelectedColour = 0xFFF3F4F6;
    static constexpr QRgb IdleColour = 0xFFDADADA;
    // The tab strip's row of items starts this far from the top-left corner.
    static constexpr int ItemMargin = 2;
    // Text padding on each side of a tab's text.
    static constexpr int TextPadding = 9;
    // Where the skinned frame's top edge runs.
    static constexpr int FrameTopY = 23;

    explicit SkinTabBar(QWidget* parent = nullptr);

    void setSkin(const platform::LibraryHandle& module, const TabSkinNumbers& numbers);
    bool isSkinned() const { return m_skinned; }

    // The snapshot of what lies behind: a picture of the control's size taken
    // from `bitmap` starting at (x, y).
    void setBackground(const QImage& bitmap, int x, int y);
    const QImage& backgroundSnapshot() const { return m_snapshot; }

    // Rebuilds the composition of strip and frame, at the device pixels per
    // pixel of the screen the control is on (see compositionScale).
    void recompose();
    // Whole device pixels per pixel the composition is made at.
    int compositionScale() const;
    const QImage& composition() const { return m_composition; }

    int addTab(const QString& text);
    int count() const { return m_texts.size(); }
    QString tabText(int index) const { return m_texts.value(index); }
    int currentIndex() const { return m_current; }
    // Selects a tab and repaints; emits nothing.
    void setCurrentIndex(int index);

    void setMinTabWidth(int width);
    void setTabHeight(int height);
    // A tab's item rectangle, as the recompose and text drawing walk them.
    QRect itemRect(int index) const;
    // Where a tab takes clicks: its item rectangle, the first one reaching
    // the left edge.
    QRect tabArea(int index) const;
    // Chooses a tab as a click on it would: emits tabActivated when it is
    // another tab than the current one.
    void chooseTab(int index);
    // The area the pages occupy, inside the frame.
    QRect pageArea() const;

    // The whole control painted onto an image of its size (composition or
    // plain drawing, then the texts): what a paint shows.
    QImage render() const;

Q_SIGNALS:
    // The user chose another tab (mouse or keyboard).
    void tabActivated(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void paintOn(QPainter& painter) const;
    void paintUnskinned(QPainter& painter) const;
    void paintTexts(QPainter& painter) const;
    void paintFocusCue(QPainter& painter) const;
    void takeSnapshot();
    void announceCurrent();

    bool m_skinned = false;
    platform::LibraryHandle m_module;
    TabSkinNumbers m_numbers{};
    QImage m_snapshot;
    QImage m_composition;
    QStringList m_texts;
    int m_current = -1;
    int m_minTabWidth = 50;
    int m_tabHeight = 24;
};

} // namespace mailvane::widgets
