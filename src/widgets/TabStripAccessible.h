#pragma once

// What assistive technology sees of the skinned tab strip: the strip paints
// its tabs itself, so it has no child widgets to show for them. It presents
// itself as a page tab list whose children are page tabs, each named by its
// text, marked selected when it is the current one and pressable to choose it.

#include <QAccessibleWidget>
#include <QHash>

namespace mailvane::widgets {

class SkinTabBar;

class TabStripAccessible : public QAccessibleWidget
{
public:
    explicit TabStripAccessible(SkinTabBar* tabs);
    ~TabStripAccessible() override;

    // The factory QAccessible asks for every widget; it answers for SkinTabBar.
    static QAccessibleInterface* create(const QString& className, QObject* object);
    // Makes QAccessible use the factory; once per process, later calls do nothing.
    static void install();

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    SkinTabBar* tabs() const;

private:
    // The tabs' interfaces, made when first asked for and registered with
    // QAccessible, which hands out ids for them; unregistered with the strip.
    mutable QHash<int, QAccessible::Id> m_children;
};

} // namespace mailvane::widgets
