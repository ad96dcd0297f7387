#pragma once

// What's-This help for one dialog or page: a help request (a click in
// context-help mode, or F1) on any control inside the watched widget shows
// the text that the widget's help table gives for the control's number, in
// a HelpPopup. Numbers missing from the table give "No help topic available.".

#include "StringTable.h"

#include <QObject>
#include <QPoint>
#include <functional>
#include <initializer_list>
#include <span>

class QDialog;
class QWidget;

namespace mailvane::widgets {

// One row of a help table: the controls that share a help text.
struct HelpEntry
{
    std::initializer_list<int> controls;
    settings::StringId text;
};

// The text for `control` in `table`; NoHelpTopic when no row names it.
settings::StringId lookUpHelp(std::span<const HelpEntry> table, int control);

class WhatsThisHelp : public QObject
{
    Q_OBJECT

public:
    // Maps a control number (0 for the widget's own area) to a string id.
    using Lookup = std::function<settings::StringId(int control)>;

    // Watches `root` until either goes; `root` owns the object.
    WhatsThisHelp(QWidget* root, Lookup lookup);

    // Raises a help request for `control` at its centre, as F1 does.
    static void requestHelp(QWidget* control);

    // Gives every control of the watched widget that takes the focus its
    // help text as its accessible description, after the context it stands
    // in (the question its choice answers, the group it belongs to), so that
    // a screen reader tells what F1 would show. Runs each time the widget
    // shows, since some texts follow the controls' state.
    void describeControls();
    // Leaves `control`'s description to its window, which keeps it current.
    static void keepOwnDescription(QWidget* control);
    // While `mandatory`, `control`'s description ends in "This field is
    // mandatory.", which its mark says to the eye (there is no required state
    // to give it).
    static void setMandatory(QWidget* control, bool mandatory);

Q_SIGNALS:
    // A help text was shown for `control` (0 for the watched widget itself).
    void helpShown(int control, settings::StringId text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_root;
    Lookup m_lookup;
};

// The help of one of our windows: watches `window` for help requests (a
// click in context-help mode, or F1, which asks about the control with the
// focus) and answers them through `lookup`.
void installHelp(QWidget* window, WhatsThisHelp::Lookup lookup);

// The help of a secondary dialog: as above from `table`, which must outlive
// the dialog, with the title bar's help button.
void installHelp(QDialog* dialog, std::span<const HelpEntry> table);

} // namespace mailvane::widgets
