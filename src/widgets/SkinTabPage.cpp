#include "SkinTabPage.h"

#include "SkinColours.h"

#include <QPainter>

namespace mailvane::widgets {

SkinTabPage::SkinTabPage(QWidget* parent) : QWidget(parent)
{
    // The page is light whatever the theme: so are its controls.
    SkinColours::useSkinPalette(this);
    // Labels and other transparent children draw straight onto the page colour.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor::fromRgb(BackgroundColour));
    setPalette(colours);
}

bool SkinTabPage::onSetActive()
{
    return true;
}

void SkinTabPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(BackgroundColour));
}

} // namespace mailvane::widgets
