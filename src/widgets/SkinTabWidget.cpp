#include "SkinTabWidget.h"

#include "SkinTabBar.h"
#include "SkinTabPage.h"

#include <QShortcut>
#include <QStackedWidget>

namespace mailvane::widgets {

SkinTabWidget::SkinTabWidget(QWidget* parent)
    : QWidget(parent), m_tabs(new SkinTabBar(this)), m_pages(new QStackedWidget(this))
{
    m_tabs->setMinTabWidth(MinimumTabWidth);
    m_tabs->setTabHeight(TabHeight);
    m_tabs->lower();
    connect(m_tabs, &SkinTabBar::tabActivated, this, &SkinTabWidget::onTabSelected);
    // Ctrl+Tab and Ctrl+Shift+Tab from anywhere in the sheet.
    const auto shortcut = [this](const QKeySequence& keys, int delta) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, [this, delta] { step(delta); });
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), 1);
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1);
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1);
    placePages();
}

void SkinTabWidget::addPage(SkinTabPage* page, const QString& title)
{
    if (!page)
        return;
    page->setSheet(this);
    // A screen reader names the page as its tab does.
    if (page->accessibleName().isEmpty())
        page->setAccessibleName(title.trimmed());
    m_pages->addWidget(page);
    m_tabs->addTab(title);
    if (m_pages->count() == 1)
        setActivePage(0);
}

int SkinTabWidget::pageCount() const
{
    return m_pages->count();
}

SkinTabPage* SkinTabWidget::page(int index) const
{
    return qobject_cast<SkinTabPage*>(m_pages->widget(index));
}

int SkinTabWidget::activeIndex() const
{
    return m_pages->currentIndex();
}

SkinTabPage* SkinTabWidget::activePage() const
{
    return page(activeIndex());
}

bool SkinTabWidget::setActivePage(int index)
{
    SkinTabPage* target = page(index);
    if (!target)
        return false;
    // The strip is recomposed before the page is activated.
    m_tabs->setCurrentIndex(index);
    m_tabs->recompose();
    if (!target->onSetActive())
        return false;
    m_pages->setCurrentIndex(index);
    Q_EMIT pageActivated(index);
    return true;
}

void SkinTabWidget::onTabSelected(int index)
{
    const int previous = activeIndex();
    if (!setActivePage(index))
        m_tabs->setCurrentIndex(previous);
}

void SkinTabWidget::placePages()
{
    m_tabs->setGeometry(rect());
    m_pages->setGeometry(m_tabs->pageArea());
}

void SkinTabWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placePages();
}

void SkinTabWidget::step(int delta)
{
    const int n = pageCount();
    if (n > 1)
        onTabSelected((activeIndex() + delta + n) % n);
}

} // namespace mailvane::widgets
