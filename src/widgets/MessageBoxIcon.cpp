#include "MessageBoxIcon.h"

#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QWidget>
#include <cmath>

namespace mailvane::widgets {
namespace {

// The shapes are laid out on a 32 × 32 grid and scaled to the extent.
constexpr qreal Grid = 32;

QStyle::StandardPixmap standardIcon(SkinMessageBox::Icon icon)
{
    switch (icon) {
    case SkinMessageBox::Icon::Hand:
        return QStyle::SP_MessageBoxCritical;
    case SkinMessageBox::Icon::Exclamation:
        return QStyle::SP_MessageBoxWarning;
    default:
        return QStyle::SP_MessageBoxInformation;
    }
}

// The desktop theme's names for the three icons.
const char* themeName(SkinMessageBox::Icon icon)
{
    switch (icon) {
    case SkinMessageBox::Icon::Hand:
        return "dialog-error";
    case SkinMessageBox::Icon::Exclamation:
        return "dialog-warning";
    default:
        return "dialog-information";
    }
}

void drawDisc(QPainter& painter, const QColor& light, const QColor& dark)
{
    QLinearGradient fill(0, 2, 0, 30);
    fill.setColorAt(0, light);
    fill.setColorAt(1, dark);
    painter.setPen(QPen(dark.darker(140), 1.2));
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(2, 2, 28, 28));
}

void drawStop(QPainter& painter)
{
    drawDisc(painter, QColor(236, 86, 74), QColor(190, 32, 28));
    painter.setPen(QPen(Qt::white, 3.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(11, 11), QPointF(21, 21));
    painter.drawLine(QPointF(21, 11), QPointF(11, 21));
}

void drawInformation(QPainter& painter)
{
    drawDisc(painter, QColor(88, 152, 228), QColor(32, 96, 186));
    painter.setPen(QPen(Qt::white, 3.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(16, 14.5), QPointF(16, 23.5));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(16, 9.2), 2.2, 2.2);
}

void drawExclamation(QPainter& painter)
{
    // A triangle with rounded corners.
    const QPointF corners[] = {{16, 2.5}, {30, 28.5}, {2, 28.5}};
    QPainterPath triangle;
    constexpr qreal Round = 3;
    for (int i = 0; i < 3; ++i) {
        const QPointF& at = corners[i];
        const QPointF& before = corners[(i + 2) % 3];
        const QPointF& after = corners[(i + 1) % 3];
        const auto toward = [&](const QPointF& to) {
            const QPointF d = to - at;
            return at + d * (Round / std::hypot(d.x(), d.y()));
        };
        if (i == 0)
            triangle.moveTo(toward(before));
        else
            triangle.lineTo(toward(before));
        triangle.quadTo(at, toward(after));
    }
    triangle.closeSubpath();
    QLinearGradient fill(0, 2, 0, 29);
    fill.setColorAt(0, QColor(255, 222, 89));
    fill.setColorAt(1, QColor(242, 176, 0));
    painter.setPen(QPen(QColor(150, 104, 0), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(fill);
    painter.drawPath(triangle);

    painter.setPen(QPen(QColor(30, 30, 30), 3.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(16, 11), QPointF(16, 19.5));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 30, 30));
    painter.drawEllipse(QPointF(16, 24.2), 2, 2);
}

} // namespace

QPixmap MessageBoxIcon::drawn(SkinMessageBox::Icon icon, int extent, qreal ratio)
{
    if (icon == SkinMessageBox::Icon::None || extent <= 0)
        return {};
    const int device = int(std::ceil(extent * ratio));
    QPixmap pixmap(device, device);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(device / Grid, device / Grid);
    switch (icon) {
    case SkinMessageBox::Icon::Hand:
        drawStop(painter);
        break;
    case SkinMessageBox::Icon::Exclamation:
        drawExclamation(painter);
        break;
    default:
        drawInformation(painter);
        break;
    }
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

QPixmap MessageBoxIcon::pixmap(SkinMessageBox::Icon icon, int extent, qreal ratio,
                               const QWidget* widget)
{
    if (icon == SkinMessageBox::Icon::None)
        return {};
    // The style's own pictures are small; the icons of a desktop theme, where
    // one is installed, mostly scale. Only a picture with a device pixel for
    // each one shown is sharp.
    if (QIcon::hasThemeIcon(QLatin1String(themeName(icon)))) {
        const QPixmap themed = widget->style()
                                   ->standardIcon(standardIcon(icon), nullptr, widget)
                                   .pixmap(QSize(extent, extent), ratio);
        if (themed.width() >= int(std::ceil(extent * ratio)))
            return themed;
    }
    return drawn(icon, extent, ratio);
}

} // namespace mailvane::widgets
