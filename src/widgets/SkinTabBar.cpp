#include "SkinTabBar.h"

#include "SkinImage.h"
#include "TabComposer.h"
#include "TabStripAccessible.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace mailvane::widgets {
namespace {

constexpr int CornerRadius = 5; // a 10 × 10 corner
constexpr int TabExtension = 10;
constexpr int FirstTabWidening = 2;
constexpr int PageFrameOverlap = 2;
constexpr int IdleTextDrop = 3;
constexpr int TextCapacity = 256;
// The focus cue stands this far to each side of the current tab's text.
constexpr int FocusPadding = 4;

} // namespace

int SkinTabBar::compositionScale() const
{
    return skin::pictureScale(devicePixelRatioF());
}

SkinTabBar::SkinTabBar(QWidget* parent) : QWidget(parent)
{
    TabStripAccessible::install();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SkinTabBar::setSkin(const platform::LibraryHandle& module, const TabSkinNumbers& numbers)
{
    m_module = module;
    m_numbers = numbers;
    m_skinned = true;
    m_composition = QImage();
    update();
}

void SkinTabBar::setBackground(const QImage& bitmap, int x, int y)
{
    QImage snapshot(size(), QImage::Format_RGB32);
    snapshot.fill(Qt::white);
    QPainter painter(&snapshot);
    painter.drawImage(QPoint(0, 0), bitmap, QRect(QPoint(x, y), size()));
    painter.end();
    m_snapshot = snapshot;
    m_composition = QImage();
    update();
}

void SkinTabBar::takeSnapshot()
{
    // What lies behind the sheet: the painting of the sheet's parent under
    // this control, without any child widgets.
    QImage snapshot(size(), QImage::Format_RGB32);
    snapshot.fill(palette().color(QPalette::Window));
    QWidget* sheet = parentWidget();
    QWidget* behind = sheet ? sheet->parentWidget() : nullptr;
    if (behind) {
        QPainter painter(&snapshot);
        const QRect area(mapTo(behind, QPoint(0, 0)), size());
        behind->render(&painter, QPoint(0, 0), QRegion(area), QWidget::DrawWindowBackground);
    }
    m_snapshot = snapshot;
}

int SkinTabBar::addTab(const QString& text)
{
    m_texts.append(text.left(TextCapacity - 1));
    if (m_current < 0)
        m_current = 0;
    m_composition = QImage();
    update();
    return int(m_texts.size()) - 1;
}

void SkinTabBar::setCurrentIndex(int index)
{
    if (index < 0 || index >= count() || index == m_current)
        return;
    m_current = index;
    m_composition = QImage();
    update();
    announceCurrent();
}

void SkinTabBar::announceCurrent()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent selection(this, QAccessible::Selection);
    selection.setChild(m_current);
    QAccessible::updateAccessibility(&selection);
    if (hasFocus()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(m_current);
        QAccessible::updateAccessibility(&focus);
    }
}

void SkinTabBar::setMinTabWidth(int width)
{
    m_minTabWidth = width;
    update();
}

void SkinTabBar::setTabHeight(int height)
{
    m_tabHeight = height;
    update();
}

QRect SkinTabBar::itemRect(int index) const
{
    if (index < 0 || index >= count())
        return {};
    const QFontMetrics metrics(font());
    int x = ItemMargin;
    for (int i = 0;; ++i) {
        const int w =
            std::max(m_minTabWidth, metrics.horizontalAdvance(m_texts.at(i)) + 2 * TextPadding);
        if (i == index)
            return QRect(x, ItemMargin, w, m_tabHeight);
        x += w;
    }
}

QRect SkinTabBar::tabArea(int index) const
{
    QRect area = itemRect(index);
    if (index == 0)
        area.setLeft(0);
    return area;
}

QRect SkinTabBar::pageArea() const
{
    // Inside the frame; the same insets the skinned frame leaves, roughly
    // matched by the plain frame.
    const int top = ItemMargin + m_tabHeight + 2;
    return QRect(QPoint(4, top), QPoint(width() - 5, height() - 5));
}

void SkinTabBar::recompose()
{
    if (!m_skinned)
        return;
    if (m_snapshot.isNull() || m_snapshot.size() != size())
        takeSnapshot();
    // At the screen's resolution, so that outlines stay as fine as the text.
    const int scale = compositionScale();
    TabPictures pictures;
    for (int slot = 0; slot < SlotCount; ++slot) {
        skin::SkinImage image;
        image.load(m_module, m_numbers[slot], scale);
        pictures[slot] = {image.takeColour(), image.takeMask()};
    }
    QList<QRect> items;
    for (int i = 0; i < count(); ++i)
        items.append(itemRect(i));
    const QImage snapshot = scale == 1 ? m_snapshot
                                       : m_snapshot.scaled(size() * scale, Qt::IgnoreAspectRatio,
                                                           Qt::SmoothTransformation);
    m_composition =
        TabComposer::compose(snapshot, size(), pictures, items, m_current, SelectedColour, scale);
    // The pictures go with `pictures`: loaded for each composition only.
    update();
}

void SkinTabBar::paintUnskinned(QPainter& painter) const
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor::fromRgb(OutlineColour), 1));
    for (int i = 0; i < count(); ++i) {
        QRect r = itemRect(i).adjusted(0, 0, 0, TabExtension);
        if (i == 0)
            r.setLeft(r.left() - FirstTabWidening);
        painter.setBrush(QColor::fromRgb(i == m_current ? SelectedColour : IdleColour));
        painter.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), CornerRadius,
                                CornerRadius);
    }
    const QRect selected = itemRect(std::max(m_current, 0));
    const QRect frame(QPoint(0, selected.bottom() + 1 - PageFrameOverlap),
                      QPoint(width() - 1, height() - 1));
    painter.setBrush(QColor::fromRgb(SelectedColour));
    painter.drawRoundedRect(QRectF(frame).adjusted(0.5, 0.5, -0.5, -0.5), CornerRadius,
                            CornerRadius);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void SkinTabBar::paintTexts(QPainter& painter) const
{
    painter.setFont(font());
    painter.setPen(QColor(Qt::black));
    for (int i = 0; i < count(); ++i) {
        QRect r = itemRect(i);
        if (!(m_skinned && i == m_current))
            r.translate(0, IdleTextDrop);
        if (i == 0)
            r.setLeft(0);
        painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, m_texts.at(i));
    }
}

void SkinTabBar::paintFocusCue(QPainter& painter) const
{
    // A dotted frame around the current tab's text, where the text is drawn
    // (the selected tab of the skinned strip stands higher than the others).
    // Drawn here rather than by the style, which may show focus only after
    // keyboard use, or not at all.
    QRect r = itemRect(m_current);
    if (r.isEmpty())
        return;
    if (!m_skinned)
        r.translate(0, IdleTextDrop);
    const QRect text = QFontMetrics(font()).boundingRect(r, Qt::AlignCenter | Qt::TextSingleLine,
                                                         m_texts.at(m_current).trimmed());
    r = text.adjusted(-FocusPadding, -1, FocusPadding - 1, 0) & r;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(Qt::black), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r);
    painter.restore();
}

void SkinTabBar::paintOn(QPainter& painter) const
{
    if (m_skinned) {
        // Made at whole device pixels per pixel; reduced smoothly where the
        // screen's ratio lies between.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(QPoint(0, 0), size()), m_composition);
    } else {
        if (!m_snapshot.isNull())
            painter.drawImage(QPoint(0, 0), m_snapshot);
        else
            painter.fillRect(rect(), palette().color(QPalette::Window));
        paintUnskinned(painter);
    }
    paintTexts(painter);
    if (hasFocus())
        paintFocusCue(painter);
}

QImage SkinTabBar::render() const
{
    if (m_skinned && m_composition.isNull())
        const_cast<SkinTabBar*>(this)->recompose();
    QImage out(size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    paintOn(painter);
    return out;
}

void SkinTabBar::paintEvent(QPaintEvent*)
{
    // A move to a screen of another resolution needs a new composition.
    if (m_skinned &&
        (m_composition.isNull() || m_composition.devicePixelRatio() != compositionScale()))
        recompose();
    QPainter painter(this);
    paintOn(painter);
}

void SkinTabBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_composition = QImage();
}

void SkinTabBar::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update(); // the focus cue
    announceCurrent();
}

void SkinTabBar::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

void SkinTabBar::chooseTab(int index)
{
    if (index < 0 || index >= count() || index == m_current)
        return;
    Q_EMIT tabActivated(index);
}

void SkinTabBar::mousePressEvent(QMouseEvent* event)
{
    for (int i = 0; i < count(); ++i) {
        if (tabArea(i).contains(event->position().toPoint())) {
            setFocus(Qt::MouseFocusReason);
            chooseTab(i);
            return;
        }
    }
    QWidget::mousePressEvent(event);
}

void SkinTabBar::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        chooseTab(m_current - 1);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        chooseTab(m_current + 1);
        break;
    case Qt::Key_Home:
        chooseTab(0);
        break;
    case Qt::Key_End:
        chooseTab(count() - 1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

} // namespace mailvane::widgets
