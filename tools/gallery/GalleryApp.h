#pragma once

#include "ResourceLibrary.h"

#include <QImage>
#include <QList>
#include <QString>

namespace mailvane::gallery {

struct WindowPicture
{
    QString name;
    QImage image;
};

// The main window as the program shows it, once per tab, rendered offscreen
// with `skin` (plain when empty) at `scale` device pixels per pixel. `prefix`
// starts every picture's name.
QList<WindowPicture> renderMainWindow(const platform::LibraryHandle& skin, qreal scale,
                                      const QString& prefix);

} // namespace mailvane::gallery
