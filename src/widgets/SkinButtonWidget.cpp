#include "SkinButtonWidget.h"

#include "SkinButtonPainter.h"

#include <QApplication>
#include <QFontInfo>
#include <QKeyEvent>
#include <QPainter>

namespace mailvane::widgets {
namespace {

// Text is kept one pixel clear of the span's top and bottom.
constexpr int FontMargin = 2;

} // namespace

SkinButtonWidget::SkinButtonWidget(SkinButtonState& impl, QWidget* parent)
    : QPushButton(parent), m_impl(impl)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_NoSystemBackground);
    // A dialog's default-button handling clicks the button; that is the same
    // command as the Enter key.
    connect(this, &QAbstractButton::clicked, this, [this] { postCommand(nullptr); });
}

void SkinButtonWidget::reshape()
{
    const ButtonShape shape = m_impl.shapeRegions
                                  ? ButtonShapeBuilder::build(*m_impl.shapeRegions, rect())
                                  : ButtonShape{QRegion(rect()), QRect()};
    m_impl.hitRegion = shape.region;
    if (m_impl.shapeRegions)
        m_impl.middleSpan = shape.middleSpan;
    setMask(shape.region);
}

void SkinButtonWidget::applyShape()
{
    if (!m_impl.shapeRegions)
        return;
    const ButtonShape shape = ButtonShapeBuilder::build(*m_impl.shapeRegions, rect());
    m_impl.hitRegion = shape.region;
    m_impl.middleSpan = shape.middleSpan;
    const QRect bounds = shape.region.boundingRect();
    resize(bounds.x() + bounds.width(), bounds.y() + bounds.height());
    reshape();
    update();
}

void SkinButtonWidget::remakeFont()
{
    QFont font = QApplication::font("QMessageBox");
    const int spanHeight = m_impl.middleSpan.height();
    if (spanHeight > 0) {
        const int limit = spanHeight - FontMargin;
        if (QFontInfo(font).pixelSize() > limit && limit > 0)
            font.setPixelSize(limit);
    }
    m_impl.font = font;
    setFont(font);
}

void SkinButtonWidget::postCommand(QWidget* source)
{
    const int id = m_impl.controlNumber;
    QMetaObject::invokeMethod(
        this, [this, id, source] { Q_EMIT commandPosted(id, source); }, Qt::QueuedConnection);
}

void SkinButtonWidget::setState(ButtonState state)
{
    m_impl.state = state;
    update();
}

void SkinButtonWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    SkinButtonPainter::paint(painter, m_impl, rect());
}

void SkinButtonWidget::resizeEvent(QResizeEvent* event)
{
    QPushButton::resizeEvent(event);
    reshape();
}

void SkinButtonWidget::mouseMoveEvent(QMouseEvent* event)
{
    // Outside the shape the pointer is over whatever lies below the button,
    // even while a held button keeps delivering moves here.
    if (!m_impl.hitRegion.contains(event->position().toPoint())) {
        onMouseLeave();
        return;
    }
    if (!m_impl.tracking) {
        m_impl.tracking = true;
        if (m_impl.state == ButtonState::Normal)
            m_impl.state = ButtonState::Hover;
        update();
    }
}

void SkinButtonWidget::onMouseLeave()
{
    if (!m_impl.tracking)
        return;
    if (m_impl.state != ButtonState::Disabled)
        m_impl.state = ButtonState::Normal;
    update();
    m_impl.tracking = false;
}

void SkinButtonWidget::leaveEvent(QEvent* event)
{
    QPushButton::leaveEvent(event);
    onMouseLeave();
}

void SkinButtonWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_impl.state == ButtonState::Disabled)
        return;
    setFocus(Qt::MouseFocusReason);
    setState(ButtonState::Pressed);
}

void SkinButtonWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The window class asks for double clicks, so the second press of one
    // comes only as this event, and the button has no rule for it: the
    // release that follows finds no press and posts nothing. Accepted, so
    // that it does not reach the dialog either.
    event->accept();
}

void SkinButtonWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    // A release outside the shape belongs to the window below; the button
    // never captures the mouse, so it is not this button's click.
    const QPoint at = event->position().toPoint();
    if (!m_impl.hitRegion.contains(at) || m_impl.state != ButtonState::Pressed)
        return;
    setState(m_impl.hitTest(at));
    m_impl.keyPressed = false;
    postCommand(this);
}

void SkinButtonWidget::keyPressEvent(QKeyEvent* event)
{
    const bool enabled = m_impl.state != ButtonState::Disabled;
    switch (event->key()) {
    case Qt::Key_Space:
        // A held key repeats its key-down, and each one presses again.
        if (enabled) {
            m_impl.keyPressed = true;
            setState(ButtonState::Pressed);
        }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (enabled) {
            setState(m_impl.hitTest(mapFromGlobal(QCursor::pos())));
            postCommand(nullptr);
        }
        return;
    case Qt::Key_Escape:
        if (m_impl.state == ButtonState::Pressed && m_impl.keyPressed) {
            m_impl.keyPressed = false;
            setState(m_impl.hitTest(mapFromGlobal(QCursor::pos())));
            return;
        }
        break; // otherwise the dialog's Escape
    default:
        break;
    }
    event->ignore();
}

void SkinButtonWidget::keyReleaseEvent(QKeyEvent* event)
{
    // Only the real release counts; a repeating key is still held.
    if (event->key() != Qt::Key_Space || event->isAutoRepeat()) {
        event->ignore();
        return;
    }
    if (m_impl.state == ButtonState::Pressed && m_impl.keyPressed) {
        m_impl.keyPressed = false;
        setState(m_impl.hitTest(mapFromGlobal(QCursor::pos())));
        postCommand(nullptr);
    }
}

void SkinButtonWidget::focusInEvent(QFocusEvent* event)
{
    QPushButton::focusInEvent(event); // keeps the dialog's default button in step
    m_impl.focused = true;
    update();
}

void SkinButtonWidget::focusOutEvent(QFocusEvent* event)
{
    QPushButton::focusOutEvent(event);
    m_impl.keyPressed = false;
    m_impl.focused = false;
    update();
}

void SkinButtonWidget::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        // Only an enabled button is a tab stop.
        setFocusPolicy(isEnabled() ? Qt::StrongFocus : Qt::ClickFocus);
        setState(isEnabled() ? ButtonState::Normal : ButtonState::Disabled);
    }
}

bool SkinButtonWidget::event(QEvent* event)
{
    if (event->type() == QEvent::ApplicationFontChange) {
        remakeFont();
        update();
    }
    return QPushButton::event(event);
}

} // namespace mailvane::widgets
