#pragma once

// What the three settings pages share: the shown and changed marks, the edit
// rule that stores each edit's text into its field at once, the mandatory
// marks, and the What's-This help of the page's own table.
//
// A page builds its controls when constructed; its creation rules run the
// first time it becomes active (or is filled), as a dialog page's
// initialisation would.

#include "EmailSettings.h"
#include "SettingsFields.h"
#include "SkinTabPage.h"
#include "StringTable.h"
#include "WhatsThisHelp.h"

#include <QString>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;

namespace mailvane::widgets {
class RadioButton;
}

namespace mailvane::pages {

class BearerGroup;

class SettingsPage : public widgets::SkinTabPage
{
    Q_OBJECT

public:
    static constexpr const char* MandatoryMarkText = "*";

    explicit SettingsPage(int templateId, QWidget* parent = nullptr);

    int templateId() const { return m_templateId; }

    // Set each time the page becomes active; the main window refills only
    // pages that have been shown.
    bool isShown() const { return m_shown; }
    // Set by every edit the page stores; read and cleared by the main window.
    bool isChanged() const { return m_changed; }
    void setChanged(bool changed) { m_changed = changed; }

    // Shows the record's values in the controls (the controls' edit rules
    // store them back).
    void fillFromRecord();

    bool onSetActive() override;

    // Letters the page's mnemonics leave to the window around it (its menus).
    void reserveMnemonics(const QString& letters) { m_reservedMnemonics = letters; }

    // The help text for one of the page's controls (0: the page itself).
    virtual settings::StringId helpFor(int control) const = 0;

Q_SIGNALS:
    // The page changed something that the completeness test looks at.
    void completenessTestRequested();

protected:
    // The page's initialisation: texts and the rules that run at creation.
    virtual void createPage() {}
    virtual void fill() = 0;
    // Page activation after the shown mark is set.
    virtual void activate() = 0;

    void ensureCreated();
    void requestCompletenessTest() { Q_EMIT completenessTestRequested(); }

    using FieldRef = std::function<settings::TextField&()>;

    // An edit bound to a text field by the edit rule: a text over `limit`
    // puts the stored value back; any other text is stored and marks the
    // page changed, then `after` runs. `guard`, when given, must hold for the
    // rule to run at all.
    void bindEdit(QLineEdit* edit, FieldRef field, std::size_t limit,
                  std::function<void()> after = {}, std::function<bool()> guard = {});

    // One row of a page's edit bindings: the edit, the text field it holds
    // and what runs after it stored a text.
    struct RecordEdit
    {
        QLineEdit* edit;
        settings::FieldId field;
        std::function<void()> after = {};
    };
    struct GroupEdit
    {
        QLineEdit* edit;
        settings::GroupField field;
        std::function<void()> after = {};
        std::function<bool()> guard = {};
    };

    // Binds each edit to its field of `record` (or of `group`) by the edit
    // rule, with the field's read limit.
    void bindEdits(settings::EmailSettings& record, std::initializer_list<RecordEdit> edits);
    void bindEdits(settings::ConnectionSettings& group, std::initializer_list<GroupEdit> edits);

    // Puts a field's value into its edit (empty for an absent field).
    static void showText(QLineEdit* edit, const settings::TextField& value);

    // Controls numbered for help and tests, with their texts from the table.
    QLabel* makeLabel(int control, settings::StringId text, const char* name);
    QLabel* makeMark(int control, const char* name);
    QLineEdit* makeEdit(int control, const char* name, bool digitsOnly = false);
    QLineEdit* makePasswordEdit(int control, const char* name);
    widgets::RadioButton* makeRadio(int control, settings::StringId text, const char* name);
    QGroupBox* makeGroupBox(int control, settings::StringId title, const char* name);

    // Two choices side by side, left-aligned in their cell.
    static QHBoxLayout* pairRow(QWidget* first, QWidget* second);

    // The controls `mark` stands beside: while it shows, a screen reader
    // hears that they must be filled in.
    void markControls(const QLabel* mark, std::initializer_list<QWidget*> controls);
    void setMark(QLabel* mark, bool shown);
    static bool isMarkShown(const QLabel* mark);
    // Turns one button of a pair on and the other off; both off with null.
    static void checkOnly(widgets::RadioButton* on, widgets::RadioButton* off);

    // Makes every radio button of the page a tab stop.
    void makeRadiosTabStops();

    // A help text for a mandatory mark: "This field is mandatory." while it
    // shows, else no topic.
    static settings::StringId markHelp(const QLabel* mark);

    bool m_shown = false;
    bool m_changed = false;

private:
    // A bearer group makes its controls on the page that shows it.
    friend class BearerGroup;

    int m_templateId;
    bool m_created = false;
    QString m_reservedMnemonics;
    std::vector<std::pair<const QLabel*, QWidget*>> m_markedControls;
};

} // namespace mailvane::pages
