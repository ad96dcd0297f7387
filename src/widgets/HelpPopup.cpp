#include "HelpPopup.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QToolTip>

namespace mailvane::widgets {

QPointer<HelpPopup> HelpPopup::s_current;

HelpPopup::HelpPopup(const QString& text, QWidget* owner)
    : QFrame(owner, Qt::Popup | Qt::FramelessWindowHint), m_label(new QLabel(text, this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("helpPopup"));
    setFrameShape(QFrame::Box);
    setPalette(QToolTip::palette());
    setAutoFillBackground(true);
    QFont font(QStringLiteral("Sans Serif"), PointSize, QFont::Bold);
    font.setStyleHint(QFont::SansSerif);
    m_label->setFont(font);
    m_label->setTextFormat(Qt::PlainText);
    m_label->setWordWrap(true);
    m_label->setForegroundRole(QPalette::ToolTipText);
    // A long help text wraps at about a third of a typical screen.
    m_label->setMaximumWidth(QFontMetrics(font).averageCharWidth() * 50);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(Margin, Margin, Margin, Margin);
    layout->addWidget(m_label);
}

HelpPopup* HelpPopup::showText(const QString& text, const QPoint& globalPos, QWidget* owner)
{
    if (s_current)
        s_current->close();
    auto* popup = new HelpPopup(text, owner);
    popup->adjustSize();
    QPoint pos = globalPos;
    if (const QScreen* screen = QGuiApplication::screenAt(globalPos)) {
        const QRect area = screen->availableGeometry();
        pos.setX(
            std::clamp(pos.x(), area.left(), std::max(area.left(), area.right() - popup->width())));
        pos.setY(
            std::clamp(pos.y(), area.top(), std::max(area.top(), area.bottom() - popup->height())));
    }
    popup->move(pos);
    popup->show();
    s_current = popup;
    return popup;
}

HelpPopup* HelpPopup::current()
{
    return s_current.data();
}

QString HelpPopup::text() const
{
    return m_label->text();
}

void HelpPopup::mousePressEvent(QMouseEvent*)
{
    close();
}

void HelpPopup::keyPressEvent(QKeyEvent*)
{
    close();
}

} // namespace mailvane::widgets
