#include "SettingsPage.h"

#include "ControlIds.h"
#include "FieldEdit.h"
#include "PasswordEdit.h"
#include "RadioButton.h"
#include "UiText.h"

#include <QLabel>
#include <QLineEdit>

namespace mailvane::pages {

using app::fromRecordText;
using app::uiText;

SettingsPage::SettingsPage(int templateId, QWidget* parent)
    : skin::COrvexPropertyPage(parent), m_templateId(templateId)
{
    new app::WhatsThisHelp(this, [this](int control) { return helpFor(control); });
}

void SettingsPage::ensureCreated()
{
    if (m_created)
        return;
    m_created = true;
    createPage();
}

void SettingsPage::fillFromRecord()
{
    ensureCreated();
    fill();
}

bool SettingsPage::onSetActive()
{
    ensureCreated();
    m_shown = true;
    activate();
    return skin::COrvexPropertyPage::onSetActive();
}

void SettingsPage::bindEdit(QLineEdit* edit, FieldRef field, std::size_t limit,
                            std::function<void()> after, std::function<bool()> guard)
{
    connect(edit, &QLineEdit::textChanged, this,
            [this, edit, field = std::move(field), limit, after = std::move(after),
             guard = std::move(guard)](const QString& text) {
                if (guard && !guard())
                    return;
                if (static_cast<std::size_t>(text.size()) > limit) {
                    // The typed text is lost; the control never holds more
                    // than the field may.
                    showText(edit, field());
                    return;
                }
                field() = app::toRecordText(text);
                m_changed = true;
                if (after)
                    after();
            });
}

void SettingsPage::showText(QLineEdit* edit, const settings::TextField& value)
{
    edit->setText(value ? fromRecordText(*value) : QString());
}

QLabel* SettingsPage::makeLabel(int control, settings::StringId text, const char* name)
{
    auto* label = new QLabel(uiText(text), this);
    app::setControlId(label, control);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QLabel* SettingsPage::makeMark(int control, const char* name)
{
    auto* mark = new QLabel(this);
    app::setControlId(mark, control);
    mark->setObjectName(QString::fromLatin1(name));
    // The column keeps its width whether the mark shows or not.
    mark->setMinimumWidth(mark->fontMetrics().horizontalAdvance(QLatin1Char('*')) + 2);
    mark->setAlignment(Qt::AlignCenter);
    return mark;
}

QLineEdit* SettingsPage::makeEdit(int control, const char* name, bool digitsOnly)
{
    auto* edit = new QLineEdit(this);
    app::setControlId(edit, control);
    edit->setObjectName(QString::fromLatin1(name));
    app::restrictEdit(edit, digitsOnly);
    return edit;
}

QLineEdit* SettingsPage::makePasswordEdit(int control, const char* name)
{
    auto* edit = new app::PasswordEdit(this);
    app::setControlId(edit, control);
    edit->setObjectName(QString::fromLatin1(name));
    app::restrictEdit(edit, false);
    return edit;
}

app::RadioButton* SettingsPage::makeRadio(int control, settings::StringId text, const char* name)
{
    auto* radio = new app::RadioButton(this);
    radio->setText(uiText(text));
    app::setControlId(radio, control);
    radio->setObjectName(QString::fromLatin1(name));
    return radio;
}

void SettingsPage::setMark(QLabel* mark, bool shown)
{
    mark->setText(shown ? QString::fromLatin1(MandatoryMarkText) : QString());
    // A screen reader says what the asterisk means, and nothing for an empty mark.
    mark->setAccessibleName(shown ? uiText(settings::strings::FieldIsMandatory) : QString());
}

bool SettingsPage::isMarkShown(const QLabel* mark)
{
    return mark->text() == QLatin1String(MandatoryMarkText);
}

void SettingsPage::checkOnly(app::RadioButton* on, app::RadioButton* off)
{
    if (on)
        on->setChecked(true);
    if (off)
        off->setChecked(false);
}

void SettingsPage::makeRadiosTabStops()
{
    const auto radios = findChildren<app::RadioButton*>();
    for (app::RadioButton* radio : radios)
        radio->setFocusPolicy(Qt::StrongFocus);
}

settings::StringId SettingsPage::markHelp(const QLabel* mark)
{
    return isMarkShown(mark) ? settings::strings::FieldIsMandatory : settings::strings::NoHelpTopic;
}

} // namespace mailvane::pages
