#include "HelpTable.h"

#include <QAction>
#include <QApplication>
#include <QDialog>

namespace mailvane::widgets {

void installHelp(QDialog* dialog, std::span<const widgets::HelpEntry> table)
{
    dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    new widgets::WhatsThisHelp(
        dialog, [table](int control) { return widgets::lookUpHelp(table, control); });
    // F1 asks about the control with the focus, as the main window does.
    auto* helpKey = new QAction(dialog);
    helpKey->setShortcut(QKeySequence::HelpContents);
    helpKey->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(helpKey, &QAction::triggered, dialog,
                     [] { widgets::WhatsThisHelp::requestHelp(QApplication::focusWidget()); });
    dialog->addAction(helpKey);
}

} // namespace mailvane::widgets
