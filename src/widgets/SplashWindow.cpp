#include "SplashWindow.h"

#include "COBitmapUtil.h"

#include <QGuiApplication>
#include <QPainter>

namespace mailvane::widgets {

SplashWindow::SplashWindow(const skin::COBitmapUtil& image)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_image(image)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // The picture shows the product; a screen reader says its name.
    setAccessibleName(QGuiApplication::applicationDisplayName());
}

SplashWindow::~SplashWindow() = default;

void SplashWindow::paintEvent(QPaintEvent*)
{
    QImage shown = m_image.frame(skin::COBitmapUtil::Composite, 0);
    if (shown.isNull())
        shown = m_image.frame(skin::COBitmapUtil::Foreground, 0);
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), shown);
}

} // namespace mailvane::widgets
