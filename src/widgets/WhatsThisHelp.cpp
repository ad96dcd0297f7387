#include "WhatsThisHelp.h"

#include "ControlIds.h"
#include "HelpPopup.h"
#include "UiText.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
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

namespace {

// The description a control had before help was added to it (the question
// its choice answers), kept so that a second pass does not repeat it.
constexpr const char* ContextProperty = "mailvaneDescriptionContext";
constexpr const char* OwnDescriptionProperty = "mailvaneOwnDescription";
// The description without the mandatory note, and whether the note is due.
constexpr const char* PlainDescriptionProperty = "mailvanePlainDescription";
constexpr const char* MandatoryProperty = "mailvaneMandatory";

QString plainDescription(const QWidget* control)
{
    const QVariant plain = control->property(PlainDescriptionProperty);
    return plain.isValid() ? plain.toString() : control->accessibleDescription();
}

void showDescription(QWidget* control, const QString& plain)
{
    control->setProperty(PlainDescriptionProperty, plain);
    QStringList parts;
    if (!plain.isEmpty())
        parts << plain;
    if (control->property(MandatoryProperty).toBool())
        parts << uiText(settings::strings::FieldIsMandatory);
    control->setAccessibleDescription(parts.join(QLatin1Char(' ')));
}

// The widget whose help covers `control`: the nearest one watched.
const QWidget* helpRootOf(const QWidget* control)
{
    for (const QWidget* w = control; w; w = w->parentWidget()) {
        if (w->findChild<WhatsThisHelp*>(QString(), Qt::FindDirectChildrenOnly))
            return w;
    }
    return nullptr;
}

// The title of the group box that frames `control`: its ancestor, or a box
// beside it on the same parent that it lies within.
QString groupTitleOf(const QWidget* control)
{
    for (const QWidget* w = control->parentWidget(); w; w = w->parentWidget()) {
        if (const auto* box = qobject_cast<const QGroupBox*>(w))
            return box->title();
    }
    const QWidget* parent = control->parentWidget();
    if (!parent)
        return {};
    for (const QGroupBox* box : parent->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
        if (box != control && box->geometry().contains(control->geometry()))
            return box->title();
    }
    return {};
}

QString withoutColon(QString text)
{
    text = text.trimmed();
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text;
}

} // namespace

void WhatsThisHelp::keepOwnDescription(QWidget* control)
{
    control->setProperty(OwnDescriptionProperty, true);
}

void WhatsThisHelp::setMandatory(QWidget* control, bool mandatory)
{
    const QString plain = plainDescription(control);
    control->setProperty(MandatoryProperty, mandatory);
    showDescription(control, plain);
}

void WhatsThisHelp::describeControls()
{
    for (QWidget* control : m_root->findChildren<QWidget*>()) {
        const int number = controlId(control);
        if (number == 0 || control->focusPolicy() == Qt::NoFocus ||
            control->property(OwnDescriptionProperty).toBool() || helpRootOf(control) != m_root)
            continue;
        QVariant context = control->property(ContextProperty);
        if (!context.isValid()) {
            QStringList parts;
            for (const QString& part : {groupTitleOf(control), plainDescription(control)}) {
                if (!withoutColon(part).isEmpty() && !parts.contains(withoutColon(part)))
                    parts << withoutColon(part);
            }
            context = parts.join(QStringLiteral(", "));
            control->setProperty(ContextProperty, context);
        }
        const settings::StringId text = m_lookup(number);
        QStringList description;
        if (!context.toString().isEmpty())
            description << context.toString() + QLatin1Char('.');
        if (text != settings::strings::NoHelpTopic)
            description << uiText(text);
        showDescription(control, description.join(QLatin1Char(' ')));
    }
}

bool WhatsThisHelp::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_root)
        return false;
    if (event->type() == QEvent::Show)
        describeControls();
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
