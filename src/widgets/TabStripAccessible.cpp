#include "TabStripAccessible.h"

#include "SkinTabBar.h"

namespace mailvane::widgets {
namespace {

// One tab of the strip. It has no object of its own: everything is asked of
// the strip, so it stays true as tabs are chosen.
class TabAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    TabAccessible(const TabStripAccessible* strip, int index) : m_strip(strip), m_index(index) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    bool isValid() const override { return m_strip->isValid() && m_index < tabs()->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_strip->window(); }

    QAccessibleInterface* parent() const override
    {
        return const_cast<TabStripAccessible*>(m_strip);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text kind) const override
    {
        // The titles carry a blank on each side to space the painted text.
        return kind == QAccessible::Name ? tabs()->tabText(m_index).trimmed() : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override
    {
        const QRect area = tabs()->tabArea(m_index);
        return QRect(tabs()->mapToGlobal(area.topLeft()), area.size());
    }

    QAccessible::Role role() const override { return QAccessible::PageTab; }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        const SkinTabBar* strip = tabs();
        state.selectable = true;
        state.focusable = true;
        state.selected = m_index == strip->currentIndex();
        state.focused = state.selected && strip->hasFocus();
        state.disabled = !strip->isEnabled();
        state.invisible = !strip->isVisible();
        return state;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction())
            tabs()->chooseTab(m_index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    SkinTabBar* tabs() const { return m_strip->tabs(); }

    const TabStripAccessible* m_strip;
    int m_index;
};

} // namespace

TabStripAccessible::TabStripAccessible(SkinTabBar* tabs)
    : QAccessibleWidget(tabs, QAccessible::PageTabList)
{}

TabStripAccessible::~TabStripAccessible()
{
    for (QAccessible::Id id : std::as_const(m_children))
        QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface* TabStripAccessible::create(const QString& className, QObject* object)
{
    if (className == QLatin1String(SkinTabBar::staticMetaObject.className()))
        return new TabStripAccessible(static_cast<SkinTabBar*>(object));
    return nullptr;
}

void TabStripAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&TabStripAccessible::create);
        return true;
    }();
    Q_UNUSED(installed);
}

SkinTabBar* TabStripAccessible::tabs() const
{
    return static_cast<SkinTabBar*>(widget());
}

int TabStripAccessible::childCount() const
{
    return tabs()->count();
}

QAccessibleInterface* TabStripAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    if (const auto found = m_children.constFind(index); found != m_children.constEnd())
        return QAccessible::accessibleInterface(*found);
    auto* tab = new TabAccessible(this, index);
    m_children.insert(index, QAccessible::registerAccessibleInterface(tab));
    return tab;
}

int TabStripAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    for (auto it = m_children.constBegin(); it != m_children.constEnd(); ++it) {
        if (QAccessible::accessibleInterface(it.value()) == child)
            return it.key();
    }
    return -1;
}

QAccessibleInterface* TabStripAccessible::childAt(int x, int y) const
{
    const QPoint local = tabs()->mapFromGlobal(QPoint(x, y));
    for (int i = 0; i < childCount(); ++i) {
        if (tabs()->tabArea(i).contains(local))
            return child(i);
    }
    return nullptr;
}

QAccessibleInterface* TabStripAccessible::focusChild() const
{
    return tabs()->hasFocus() ? child(tabs()->currentIndex()) : nullptr;
}

} // namespace mailvane::widgets
