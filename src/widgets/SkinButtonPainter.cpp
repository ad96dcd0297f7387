#include "SkinButtonPainter.h"

#include <QFontMetrics>
#include <QPainter>

namespace mailvane::widgets {
namespace {

// A piece's size in pixels: a finer piece has more device pixels.
QSize pixelSize(const QImage& piece)
{
    return piece.deviceIndependentSize().toSize();
}

} // namespace

bool SkinButtonPainter::paintImages(QPainter& painter, const SkinButtonState& button,
                                    const QRect& client)
{
    const ButtonPieces& pieces = button.currentPieces();
    if (!pieces.complete())
        return false;
    const QImage& left = pieces.left;
    const QImage& middle = pieces.middle;
    const QImage& right = pieces.right;
    // A right-to-left button is painted the same way: the painter does not
    // mirror the device, so the caps already sit at the ends they fit and
    // match the window's shape.
    const QSize leftSize = pixelSize(left);
    const QSize rightSize = pixelSize(right);
    painter.drawImage(client.topLeft(), left);
    painter.drawImage(QPoint(client.right() + 1 - rightSize.width(), client.top()), right);

    const int top = button.middleSpan.top() - client.top();
    const int rows = pixelSize(middle).height() - top;
    const int between = client.width() - leftSize.width() - rightSize.width();
    if (rows > 0 && between > 0 && top >= 0) {
        const qreal ratio = middle.devicePixelRatio();
        painter.drawImage(
            QRectF(client.left() + leftSize.width(), client.top() + top, between, rows), middle,
            QRectF(0, top * ratio, middle.width(), rows * ratio));
    }
    return true;
}

void SkinButtonPainter::paintText(QPainter& painter, const SkinButtonState& button,
                                  const QRect& client)
{
    const bool disabled = button.state == ButtonState::Disabled;
    QRect area = button.middleSpan;
    if (area.isEmpty()) {
        const QSize left = pixelSize(button.currentPieces().left);
        const QSize middle = pixelSize(button.currentPieces().middle);
        const QSize right = pixelSize(button.currentPieces().right);
        // Without a middle picture the grey button still shows its text.
        const int height = middle.isEmpty() ? client.height() : middle.height();
        area = QRect(client.left() + left.width(), client.top(),
                     client.width() - left.width() - right.width(), height);
    }
    if (button.state == ButtonState::Pressed)
        area.translate(1, 1);
    painter.setFont(button.font);
    painter.setPen(QColor::fromRgb(disabled ? button.disabledTextColour : button.textColour));
    const QString shown =
        QFontMetrics(button.font).elidedText(button.text, Qt::ElideRight, area.width());
    painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, shown);
}

void SkinButtonPainter::paint(QPainter& painter, const SkinButtonState& button, const QRect& client)
{
    if (!paintImages(painter, button, client))
        painter.fillRect(client, QColor::fromRgb(MissingImageGrey));
    if (!button.text.isEmpty())
        paintText(painter, button, client);
    if (button.focused && button.state != ButtonState::Disabled && !button.middleSpan.isEmpty()) {
        const QRect focus = button.middleSpan.adjusted(0, FocusInset, 0, -FocusInset);
        painter.setPen(QPen(QColor::fromRgb(button.textColour), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(focus.adjusted(0, 0, -1, -1));
    }
}

} // namespace mailvane::widgets
