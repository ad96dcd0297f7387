#pragma once

// The skinned settings sheet: a SkinTabBar covering the whole sheet, which
// draws the tab strip and the frame around the page area, and the pages in a
// stack placed over that area. Ctrl+Tab and Ctrl+Shift+Tab anywhere in the
// sheet, and the arrow keys on the focused tab strip, change pages.

#include <QWidget>

class QStackedWidget;

namespace mailvane::widgets {

class SkinTabPage;
class SkinTabBar;

class SkinTabWidget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int MinimumTabWidth = 50;
    static constexpr int TabHeight = 24;

    explicit SkinTabWidget(QWidget* parent = nullptr);

    // Tells the page its sheet and adds it with `title` on its tab; the sheet
    // owns the page from then on. The first page added becomes active.
    void addPage(SkinTabPage* page, const QString& title);

    SkinTabBar* tabControl() const { return m_tabs; }
    int pageCount() const;
    SkinTabPage* page(int index) const;
    int activeIndex() const;
    SkinTabPage* activePage() const;
    // Recomposes the tabs, then shows the page. False for a bad index.
    bool setActivePage(int index);

Q_SIGNALS:
    void pageActivated(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placePages();
    void onTabSelected(int index);
    void step(int delta);

    SkinTabBar* m_tabs;
    QStackedWidget* m_pages;
};

} // namespace mailvane::widgets
