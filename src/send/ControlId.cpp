#include "ControlId.h"

#include "BmpButtonWindow.h"

#include <QVariant>
#include <QWidget>

namespace mailvane::send {
namespace {

constexpr const char* ControlIdProperty = "controlId";

} // namespace

void setControlId(QWidget* control, int id)
{
    control->setProperty(ControlIdProperty, id);
}

int controlId(const QWidget* control)
{
    if (const auto* button = qobject_cast<const skin::BmpButtonWindow*>(control))
        return button->controlNumber();
    return control->property(ControlIdProperty).toInt();
}

QWidget* findControl(const QWidget* dialog, int id)
{
    const QList<QWidget*> children = dialog->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (controlId(child) == id)
            return child;
    }
    return nullptr;
}

} // namespace mailvane::send
