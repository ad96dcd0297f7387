#include "SkinColours.h"

#include <QPalette>
#include <QStyle>
#include <QWidget>

namespace mailvane::widgets {

void SkinColours::useSkinPalette(QWidget* widget)
{
    QPalette colours = widget->style()->standardPalette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        colours.setColor(group, QPalette::WindowText, QColor::fromRgb(Text));
    colours.setColor(QPalette::Disabled, QPalette::WindowText, QColor::fromRgb(DisabledText));
    widget->setPalette(colours);
}

} // namespace mailvane::widgets
