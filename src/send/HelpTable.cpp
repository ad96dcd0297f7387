#include "HelpTable.h"

#include "ControlId.h"
#include "SendText.h"

#include <QWidget>
#include <algorithm>

namespace mailvane::send {

settings::StringId helpTextId(std::span<const HelpEntry> table, int control)
{
    const auto found = std::ranges::find(table, control, &HelpEntry::control);
    return found == table.end() ? settings::strings::NoHelpTopic : found->text;
}

void installHelp(QWidget* dialog, std::span<const HelpEntry> table)
{
    dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    dialog->setWhatsThis(text(settings::strings::NoHelpTopic));
    const QList<QWidget*> children = dialog->findChildren<QWidget*>();
    for (QWidget* child : children) {
        const int id = controlId(child);
        if (id != 0)
            child->setWhatsThis(text(helpTextId(table, id)));
    }
}

} // namespace mailvane::send
