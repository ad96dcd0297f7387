#include "WhatsThisHelp.h"

#include "ControlIds.h"
#include "HelpPopup.h"
#include "UiText.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QHelpEvent>
#include <QWhatsThis>
#include <QWidget>
#include <algorithm>

namespace mailvane::widgets {

settings::StringId lookUpHelp(std::span<const HelpEntry> table, int control)
{
    for (const HelpEntry& entry : table) {
        if (std::ranges::find(entry.controls, control) != entry.controls.end())
            return entry.text;
    }
    return settings::strings::NoHelpTopic;
}

WhatsThisHelp::WhatsThisHelp(QWidget* root, Lookup lookup)
    : QObject(root), m_root(root), m_lookup(std::move(lookup))
{
    root->installEventFilter(this);
}

void WhatsThisHelp::requestHelp(QWidget* control)
{
    if (!control)
        return;
    const QPoint centre = control->rect().center();
    QHelpEvent event(QEvent::WhatsThis, centre, control->mapToGlobal(centre));
    QCoreApplication::sendEvent(control, &event);
}

bool WhatsThisHelp::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_root)
        return false;
    if (event->type() == QEvent::QueryWhatsThis) {
        event->accept();
        return true;
    }
    if (event->type() != QEvent::WhatsThis)
        return false;

    // Requests that no control took on the way up arrive here in the
    // watched widget's coordinates; find the control under the point.
    const auto* help = static_cast<QHelpEvent*>(event);
    QWidget* child = m_root->childAt(help->pos());
    QWidget* control = numberedAncestor(child, m_root);
    const int number = controlId(control);
    const settings::StringId text = m_lookup(number);
    // Qt leaves context-help mode only when it shows a text itself; ours is
    // shown here, so the mode is left here too, or it would eat every click.
    if (QWhatsThis::inWhatsThisMode())
        QWhatsThis::leaveWhatsThisMode();
    HelpPopup::showText(uiText(text), help->globalPos(), m_root);
    Q_EMIT helpShown(number, text);
    event->accept();
    return true;
}

void installHelp(QWidget* window, WhatsThisHelp::Lookup lookup)
{
    new WhatsThisHelp(window, std::move(lookup));
    auto* helpKey = new QAction(window);
    helpKey->setShortcut(QKeySequence::HelpContents);
    helpKey->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(helpKey, &QAction::triggered, window,
                     [] { WhatsThisHelp::requestHelp(QApplication::focusWidget()); });
    window->addAction(helpKey);
}

void installHelp(QDialog* dialog, std::span<const HelpEntry> table)
{
    dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    installHelp(static_cast<QWidget*>(dialog),
                [table](int control) { return lookUpHelp(table, control); });
}

} // namespace mailvane::widgets
