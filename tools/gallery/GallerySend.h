#pragma once

#include "GalleryToolkit.h"

namespace mailvane::gallery {

// The send workflow's dialogs (PIN, Send, Choose Recipients, the wait dialog
// with progress) and every message the workflow shows, rendered with `skin`.
QList<NamedImage> renderSend(const platform::LibraryHandle& skin);

} // namespace mailvane::gallery
