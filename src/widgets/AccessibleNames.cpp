#include "AccessibleNames.h"

#include "Mnemonics.h"
#include "RadioButton.h"

#include <QAccessibleWidget>
#include <QLabel>

namespace mailvane::widgets {
namespace {

// A radio button as Qt presents an auto-exclusive one: role, checked state
// and the press action that chooses it.
class RadioButtonAccessible : public QAccessibleWidget
{
public:
    explicit RadioButtonAccessible(RadioButton* button)
        : QAccessibleWidget(button, QAccessible::RadioButton)
    {}

    QString text(QAccessible::Text kind) const override
    {
        // Its own text, not that of a label or group box around it.
        if (kind != QAccessible::Name)
            return QAccessibleWidget::text(kind);
        const QString name = widget()->accessibleName();
        return name.isEmpty() ? button()->text().remove(u'&') : name;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = button()->isChecked();
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& name) override
    {
        if (name == pressAction())
            button()->click();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    RadioButton* button() const { return static_cast<RadioButton*>(widget()); }
};

QAccessibleInterface* createAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(RadioButton::staticMetaObject.className()))
        return new RadioButtonAccessible(static_cast<RadioButton*>(object));
    return nullptr;
}

QString withoutColon(QString text)
{
    text = withoutMnemonic(text);
    if (text.endsWith(u':'))
        text.chop(1);
    return text;
}

} // namespace

void nameAfterLabel(QWidget* control, QLabel* label)
{
    control->setAccessibleName(withoutColon(label->text()));
    label->setBuddy(control);
}

void describeAfterLabel(std::initializer_list<QWidget*> choices, const QLabel* label)
{
    for (QWidget* choice : choices)
        choice->setAccessibleDescription(withoutColon(label->text()));
}

void installRadioButtonAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(&createAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace mailvane::widgets
