#pragma once

// What's-This help of a dialog: a table from control number to string id.
// Controls the table does not name get "No help topic available.".

#include "StringTable.h"

#include <span>

class QWidget;

namespace mailvane::send {

struct HelpEntry
{
    int control;
    settings::StringId text;
};

settings::StringId helpTextId(std::span<const HelpEntry> table, int control);

// Gives every numbered control of `dialog` (and the dialog itself) its help
// text from `table`, and the dialog its title-bar help button.
void installHelp(QWidget* dialog, std::span<const HelpEntry> table);

} // namespace mailvane::send
