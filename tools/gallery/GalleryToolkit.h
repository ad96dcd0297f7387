#pragma once

#include "ResourceLibrary.h"

#include <QImage>
#include <QList>
#include <QString>

namespace mailvane::gallery {

struct NamedImage
{
    QString name;
    QImage image;
};

// The message boxes, file dialogs, settings sheet, splash and About box,
// rendered offscreen with `skin` (or plain without one).
QList<NamedImage> renderToolkit(const platform::LibraryHandle& skin);

// The pictures that must survive a scale factor of 2: the sheet, message
// boxes with their icons and the file dialogs.
// Run in a process started with QT_SCALE_FACTOR=2.
QList<NamedImage> renderScaled(const platform::LibraryHandle& skin);

} // namespace mailvane::gallery
