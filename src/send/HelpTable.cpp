#include "HelpTable.h"

#include <QAction>
#include <QApplication>
#include <QDialog>

namespace mailvane::send {

void installHelp(QDialog* dialog, std::span<const app::HelpEntry> table)
{
    dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    new app::WhatsThisHelp(dialog,
                           [table](int control) { return app::lookUpHelp(table, control); });
    // F1 asks about the control with the focus, as the main window does.
    auto* helpKey = new QAction(dialog);
    helpKey->setShortcut(QKeySequence::HelpContents);
    helpKey->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(helpKey, &QAction::triggered, dialog,
                     [] { app::WhatsThisHelp::requestHelp(QApplication::focusWidget()); });
    dialog->addAction(helpKey);
}

} // namespace mailvane::send
