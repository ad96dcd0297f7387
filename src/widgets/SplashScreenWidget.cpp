#include "SplashScreenWidget.h"

#include "SplashScreen.h"

#include <QGuiApplication>
#include <QPainter>

namespace mailvane::widgets {

SplashScreenWidget::SplashScreenWidget(const SplashScreen& splash)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_splash(splash)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // The picture shows the product; a screen reader says its name.
    setAccessibleName(QGuiApplication::applicationDisplayName());
}

SplashScreenWidget::~SplashScreenWidget() = default;

void SplashScreenWidget::paintEvent(QPaintEvent*)
{
    const QImage shown = m_splash.shownPicture();
    QPainter painter(this);
    // Translucent, the window shows what its mask leaves out unless it is
    // left unpainted.
    if (testAttribute(Qt::WA_TranslucentBackground) && !mask().isEmpty())
        painter.setClipRegion(mask());
    painter.drawImage(QPoint(0, 0), shown);
}

} // namespace mailvane::widgets
