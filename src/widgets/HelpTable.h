#pragma once

// What's-This help of the send dialogs: the table's texts for the dialog's
// numbered controls (through the title-bar help button or F1), and
// "No help topic available." for the rest.

#include "WhatsThisHelp.h"

#include <span>

class QDialog;

namespace mailvane::widgets {

// Watches `dialog` for help requests and answers them from `table`, which
// must outlive the dialog.
void installHelp(QDialog* dialog, std::span<const widgets::HelpEntry> table);

} // namespace mailvane::widgets
