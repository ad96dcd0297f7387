#include "SettingsPage.h"

#include "ControlIds.h"
#include "FieldEdit.h"
#include "Mnemonics.h"
#include "PasswordEdit.h"
#include "RadioButton.h"
#include "UiText.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace mailvane::pages {

using widgets::fromRecordText;
using widgets::uiText;

SettingsPage::SettingsPage(int templateId, QWidget* parent)
    : widgets::SkinTabPage(parent), m_templateId(templateId)
{
    new widgets::WhatsThisHelp(this, [this](int control) { return helpFor(control); });
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
    // Showing a page puts the record's values into its controls, which runs
    // their edit rules; looking at a page is not a change.
    const bool changed = m_changed;
    activate();
    m_changed = changed;
    // After activation, which may have renamed a label.
    widgets::assignMnemonics(this, m_reservedMnemonics);
    return widgets::SkinTabPage::onSetActive();
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
                field() = widgets::toRecordText(text);
                m_changed = true;
                if (after)
                    after();
            });
}

namespace {

// The longest text a field takes; the edit rule puts back a longer one.
std::size_t limitOf(const settings::FieldInfo& info)
{
    return info.readLimit.value_or(0);
}

} // namespace

void SettingsPage::bindEdits(settings::EmailSettings& record,
                             std::initializer_list<RecordEdit> edits)
{
    for (const RecordEdit& row : edits) {
        const settings::FieldInfo& info = settings::fieldInfo(row.field);
        bindEdit(
            row.edit, [&record, &info ]() -> auto& { return settings::textValue(info, record); },
            limitOf(info), row.after);
    }
}

void SettingsPage::bindEdits(settings::ConnectionSettings& group,
                             std::initializer_list<GroupEdit> edits)
{
    for (const GroupEdit& row : edits) {
        const settings::FieldInfo& info = settings::groupFieldInfo(row.field);
        bindEdit(
            row.edit, [&group, &info ]() -> auto& { return settings::textValue(info, group); },
            limitOf(info), row.after, row.guard);
    }
}

void SettingsPage::showText(QLineEdit* edit, const settings::TextField& value)
{
    edit->setText(value ? fromRecordText(*value) : QString());
}

QLabel* SettingsPage::makeLabel(int control, settings::StringId text, const char* name)
{
    auto* label = new QLabel(uiText(text), this);
    widgets::setControlId(label, control);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QLabel* SettingsPage::makeMark(int control, const char* name)
{
    auto* mark = new QLabel(this);
    widgets::setControlId(mark, control);
    mark->setObjectName(QString::fromLatin1(name));
    // The column keeps its width whether the mark shows or not.
    mark->setMinimumWidth(mark->fontMetrics().horizontalAdvance(QLatin1Char('*')) + 2);
    mark->setAlignment(Qt::AlignCenter);
    return mark;
}

QLineEdit* SettingsPage::makeEdit(int control, const char* name, bool digitsOnly)
{
    auto* edit = new QLineEdit(this);
    widgets::setControlId(edit, control);
    edit->setObjectName(QString::fromLatin1(name));
    widgets::restrictEdit(edit, digitsOnly);
    return edit;
}

QLineEdit* SettingsPage::makePasswordEdit(int control, const char* name)
{
    auto* edit = new widgets::PasswordEdit(this);
    widgets::setControlId(edit, control);
    edit->setObjectName(QString::fromLatin1(name));
    widgets::restrictEdit(edit, false);
    return edit;
}

widgets::RadioButton* SettingsPage::makeRadio(int control, settings::StringId text,
                                              const char* name)
{
    auto* radio = new widgets::RadioButton(this);
    radio->setText(uiText(text));
    widgets::setControlId(radio, control);
    radio->setObjectName(QString::fromLatin1(name));
    return radio;
}

QGroupBox* SettingsPage::makeGroupBox(int control, settings::StringId title, const char* name)
{
    auto* box = new QGroupBox(uiText(title), this);
    widgets::setControlId(box, control);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QHBoxLayout* SettingsPage::pairRow(QWidget* first, QWidget* second)
{
    auto* pair = new QHBoxLayout;
    pair->addWidget(first);
    pair->addSpacing(12);
    pair->addWidget(second);
    pair->addStretch(1);
    return pair;
}

void SettingsPage::markControls(const QLabel* mark, std::initializer_list<QWidget*> controls)
{
    for (QWidget* control : controls)
        m_markedControls.emplace_back(mark, control);
}

void SettingsPage::setMark(QLabel* mark, bool shown)
{
    mark->setText(shown ? QString::fromLatin1(MandatoryMarkText) : QString());
    // A screen reader says what the asterisk means, and nothing for an empty mark.
    mark->setAccessibleName(shown ? uiText(settings::strings::FieldIsMandatory) : QString());
    for (const auto& [marking, control] : m_markedControls) {
        if (marking == mark)
            widgets::WhatsThisHelp::setMandatory(control, shown);
    }
}

bool SettingsPage::isMarkShown(const QLabel* mark)
{
    return mark->text() == QLatin1String(MandatoryMarkText);
}

void SettingsPage::checkOnly(widgets::RadioButton* on, widgets::RadioButton* off)
{
    if (on)
        on->setChecked(true);
    if (off)
        off->setChecked(false);
}

void SettingsPage::makeRadiosTabStops()
{
    const auto radios = findChildren<widgets::RadioButton*>();
    for (widgets::RadioButton* radio : radios)
        radio->setFocusPolicy(Qt::StrongFocus);
}

settings::StringId SettingsPage::markHelp(const QLabel* mark)
{
    return isMarkShown(mark) ? settings::strings::FieldIsMandatory : settings::strings::NoHelpTopic;
}

} // namespace mailvane::pages
