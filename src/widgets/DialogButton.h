#pragma once

// The bitmap buttons of the secondary dialogs (PIN, Send, Choose Recipients):
// shaped by the normal pictures, a picture triple per state, white as the key
// colour, created 100 by 30 at the template's place and widened to their
// caption.

#include "SkinButton.h"

#include <memory>

namespace mailvane::widgets {

inline constexpr int DialogButtonMaxWidth = 250;

// Makes the button over `dialog` at `topLeft`; its activations arrive through
// window()->commandPosted.
std::unique_ptr<widgets::SkinButton> createDialogButton(const platform::LibraryHandle& skin,
                                                        QWidget* dialog, QPoint topLeft,
                                                        int controlNumber, const QString& caption);

} // namespace mailvane::widgets
