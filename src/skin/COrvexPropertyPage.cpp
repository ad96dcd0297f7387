#include "COrvexPropertyPage.h"

#include <QPainter>

namespace mailvane::skin {

COrvexPropertyPage::COrvexPropertyPage(QWidget* parent) : QWidget(parent)
{
    // Labels and other transparent children draw straight onto the page colour.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor::fromRgb(BackgroundColour));
    setPalette(colours);
}

bool COrvexPropertyPage::onSetActive()
{
    return true;
}

void COrvexPropertyPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(BackgroundColour));
}

} // namespace mailvane::skin
