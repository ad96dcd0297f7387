#include "ControlIds.h"

#include <QVariant>

namespace mailvane::widgets {

void setControlId(QWidget* widget, int id)
{
    widget->setProperty(ControlIdProperty, id);
}

int controlId(const QWidget* widget)
{
    return widget ? widget->property(ControlIdProperty).toInt() : 0;
}

QWidget* findControl(const QWidget* root, int id)
{
    const auto children = root->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (controlId(child) == id)
            return child;
    }
    return nullptr;
}

QWidget* numberedAncestor(QWidget* widget, const QWidget* root)
{
    for (QWidget* w = widget; w && w != root; w = w->parentWidget()) {
        if (controlId(w) != 0)
            return w;
    }
    return nullptr;
}

} // namespace mailvane::widgets
