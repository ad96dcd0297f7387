#pragma once

// The icon of a message box (stop, exclamation, information) as a pixmap of
// `extent` pixels at `ratio` device pixels per pixel. The desktop icon
// theme's icon is taken when the theme has one at that full resolution;
// otherwise the icon is drawn here from shapes, which stay sharp at any
// ratio, rather than a small built-in picture enlarged.

#include "SkinMessageBox.h"

#include <QPixmap>

class QWidget;

namespace mailvane::widgets {

class MessageBoxIcon
{
public:
    // A null pixmap for Icon::None.
    static QPixmap pixmap(SkinMessageBox::Icon icon, int extent, qreal ratio,
                          const QWidget* widget);

    // The drawn icon, whatever the theme has.
    static QPixmap drawn(SkinMessageBox::Icon icon, int extent, qreal ratio);
};

} // namespace mailvane::widgets
