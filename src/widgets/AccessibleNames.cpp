#include "AccessibleNames.h"

#include "Mnemonics.h"
#include "RadioButton.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

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

// An editable combo box as Qt presents one (its list and its text field as
// children, the text as its value, a menu to open), but named by the name
// given to it: on this platform Qt names an editable box by its text, so a
// screen reader would say the value twice and the question never.
class NamedComboBoxAccessible : public QAccessibleWidget
{
public:
    explicit NamedComboBoxAccessible(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox)
    {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return box()->currentText();
        if (kind == QAccessible::Name && !widget()->accessibleName().isEmpty())
            return widget()->accessibleName();
        return QAccessibleWidget::text(kind);
    }

    int childCount() const override { return box()->lineEdit() ? 2 : 1; }

    QAccessibleInterface* child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(box()->view());
        if (index == 1 && box()->lineEdit())
            return QAccessible::queryAccessibleInterface(box()->lineEdit());
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child)
            return -1;
        if (child->object() == box()->view())
            return 0;
        if (box()->lineEdit() && child->object() == box()->lineEdit())
            return 1;
        return -1;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        const bool open = box()->view()->isVisible();
        state.expandable = true;
        state.expanded = open;
        state.collapsed = !open;
        state.editable = box()->isEditable();
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()};
    }

    void doAction(const QString& name) override
    {
        if (name != showMenuAction() && name != pressAction())
            return;
        if (box()->view()->isVisible())
            box()->hidePopup();
        else
            box()->showPopup();
    }

private:
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* createAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(RadioButton::staticMetaObject.className()))
        return new RadioButtonAccessible(static_cast<RadioButton*>(object));
    if (className == QLatin1String(QComboBox::staticMetaObject.className())) {
        auto* box = static_cast<QComboBox*>(object);
        if (box->isEditable() && !box->accessibleName().isEmpty())
            return new NamedComboBoxAccessible(box);
    }
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
    installAccessibility();
    control->setAccessibleName(withoutColon(label->text()));
    label->setBuddy(control);
}

void describeAfterLabel(std::initializer_list<QWidget*> choices, const QLabel* label)
{
    for (QWidget* choice : choices)
        choice->setAccessibleDescription(withoutColon(label->text()));
}

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(&createAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace mailvane::widgets
