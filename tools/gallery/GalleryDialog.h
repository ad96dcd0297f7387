#pragma once

#include "ResourceLibrary.h"

#include <QImage>

namespace mailvane::gallery {

// A skinned dialog with its bars and bitmap buttons in every state, set up the
// way the program's dialogs set up theirs, rendered offscreen. Without a
// skin library the dialog is plain and the buttons are grey.
QImage renderSkinnedDialog(const platform::LibraryHandle& skin);

} // namespace mailvane::gallery
