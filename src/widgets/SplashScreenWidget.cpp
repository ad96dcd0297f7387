#include "SplashScreenWidget.h"

#include "LayeredImage.h"

#include <QGuiApplication>
#include <QPainter>

namespace mailvane::widgets {

SplashScreenWidget::SplashScreenWidget(const skin::LayeredImage& image)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_image(image)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // The picture shows the product; a screen reader says its name.
    setAccessibleName(QGuiApplication::applicationDisplayName());
}

SplashScreenWidget::~SplashScreenWidget() = default;

void SplashScreenWidget::paintEvent(QPaintEvent*)
{
    QImage shown = m_image.frame(skin::LayeredImage::Composite, 0);
    if (shown.isNull())
        shown = m_image.frame(skin::LayeredImage::Foreground, 0);
    QPainter painter(this);
    // Translucent, the window shows what its mask leaves out unless it is
    // left unpainted.
    if (testAttribute(Qt::WA_TranslucentBackground) && !mask().isEmpty())
        painter.setClipRegion(mask());
    painter.drawImage(QPoint(0, 0), shown);
}

} // namespace mailvane::widgets
