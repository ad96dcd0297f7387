#include "MessageBoxWindow.h"

#include "MessageBoxIcon.h"
#include "MessageBoxSkin.h"
#include "SkinColours.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTextLayout>
#include <QtMath>
#include <QStyle>

namespace mailvane::widgets {
namespace {

constexpr std::uint32_t KeyWhite = 0xFFFFFF;
// A button without pictures has no shape to take its size from: it starts
// with no width (its label sizes it) and the height of a system push button.
constexpr QSize PlainButtonSize{0, 23};
constexpr int ButtonFrames = 3; // normal, pressed, hover

// The open boxes by window, as the dialog procedure would look them up.
QHash<QWidget*, MessageBoxWindow*>& openBoxes()
{
    static QHash<QWidget*, MessageBoxWindow*> boxes;
    return boxes;
}

QImage shapeSource(const skin::LayeredImage& images)
{
    const QImage mask = images.frame(skin::LayeredImage::AlphaMask, 0);
    return mask.isNull() ? images.frame(skin::LayeredImage::Foreground, 0) : mask;
}

// The message for assistive technology: a static text over the place where
// the box shows it. The box paints the text itself, over its skin background
// and with its own measures, so this label only stands there.
class MessageText : public QLabel
{
public:
    MessageText(const QString& text, QWidget* box) : QLabel(text, box)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setTextInteractionFlags(Qt::NoTextInteraction);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {}
};

// The size of `text` laid out `maxWidth` wide, breaking between words and,
// in a word longer than a line (a path), anywhere.
QSize wrappedTextSize(const QFont& font, const QString& text, const QTextOption& option,
                      int maxWidth)
{
    qreal width = 0;
    qreal height = 0;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(maxWidth);
            width = std::max(width, line.naturalTextWidth());
            height += line.height();
        }
        layout.endLayout();
    }
    return QSize(qCeil(width), qCeil(height));
}

} // namespace

MessageBoxWindow::MessageBoxWindow(QWidget* owner, const QString& text, const QString& caption,
                                   unsigned flags)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_text(text), m_caption(caption), m_layout(SkinMessageBox::layoutOf(flags)),
      m_icon(SkinMessageBox::iconOf(flags))
{
    setObjectName(QString::fromLatin1(SkinMessageBox::WindowObjectName));
    setModal(true);
    // The box paints every pixel itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    openBoxes().insert(this, this);
    m_listed = true;
    layOut();
    // A screen reader reads the caption as the name, and the text both as
    // the box's description and from a static text inside it.
    setAccessibleDescription(m_text);
    (new MessageText(m_text, this))->setGeometry(m_geometry.textRect);
}

MessageBoxWindow::~MessageBoxWindow()
{
    openBoxes().remove(this);
    m_buttons.clear(); // before the window that holds them
}

int MessageBoxWindow::openCount()
{
    return int(openBoxes().size());
}

void MessageBoxWindow::addButton(int controlNumber, int labelId, const QString& fallbackLabel,
                                 int result)
{
    const MessageBoxSkin& skin = MessageBoxSkin::instance();
    QString label = skin.strings ? skin.strings(labelId) : fallbackLabel;
    label.truncate(LabelCapacity);

    auto button = std::make_unique<SkinButton>();
    QSize size = PlainButtonSize;
    if (skin.hasButtonPictures()) {
        button->setShapeFromBitmaps(shapeSource(*skin.lefts), shapeSource(*skin.middles),
                                    shapeSource(*skin.rights), KeyWhite);
        if (!button->minimumSize().isEmpty())
            size = button->minimumSize();
    }
    button->create(skin.module, this, QRect(QPoint(0, 0), size), controlNumber, label);
    if (skin.hasButtonPictures()) {
        for (int frame = 0; frame < ButtonFrames; ++frame)
            button->setStateImagesFromBitmaps(
                frame, skin.lefts->frame(skin::LayeredImage::Foreground, frame),
                skin.middles->frame(skin::LayeredImage::Foreground, frame),
                skin.rights->frame(skin::LayeredImage::Foreground, frame));
    }
    button->setText(label, true, MaxButtonWidth);
    connect(button->window(), &SkinButtonWidget::commandPosted, this,
            [this](int number, QWidget*) { onCommand(number); });
    m_buttons.push_back({std::move(button), result});
}

void MessageBoxWindow::layOut()
{
    const MessageBoxButtons& ids = MessageBoxSkin::instance().buttons;
    const bool ok =
        m_layout == SkinMessageBox::LayoutOk || m_layout == SkinMessageBox::LayoutOkCancel;
    if (ok) {
        addButton(ids.okControl, ids.okLabel, QStringLiteral("  OK  "), SkinMessageBox::IdOk);
    } else {
        addButton(ids.yesControl, ids.yesLabel, QStringLiteral("Yes"), SkinMessageBox::IdYes);
        addButton(ids.noControl, ids.noLabel, QStringLiteral("No"), SkinMessageBox::IdNo);
    }
    if (m_layout == SkinMessageBox::LayoutYesNoCancel || m_layout == SkinMessageBox::LayoutOkCancel)
        addButton(ids.cancelControl, ids.cancelLabel, QStringLiteral("Cancel"),
                  SkinMessageBox::IdCancel);

    if (SkinButtonWidget* chosen = defaultButton()) {
        chosen->setDefault(true);
        chosen->setFocus();
    }

    MessageBoxMeasures measures;
    measures.buttonCount = int(m_buttons.size());
    for (const Button& b : m_buttons)
        measures.widestButton = std::max(measures.widestButton, b.button->window()->width());
    // The first of OK, Cancel, Yes, No that exists: OK or Yes is always first
    // created, and all the buttons share one shape anyway.
    const int ordered[] = {ids.okControl, ids.cancelControl, ids.yesControl, ids.noControl};
    for (int number : ordered) {
        if (SkinButtonWidget* b = button(number)) {
            measures.buttonHeight = b->height();
            break;
        }
    }

    QStyle* style = this->style();
    const QFont captionFont = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    measures.captionWidth = QFontMetrics(captionFont).horizontalAdvance(m_caption);
    measures.captionButton = style->pixelMetric(QStyle::PM_TitleBarButtonSize, nullptr, this);
    measures.captionHeight = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);

    if (m_icon != SkinMessageBox::Icon::None) {
        const int extent = style->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        measures.iconWidth = extent;
        m_iconPixmap = MessageBoxIcon::pixmap(m_icon, extent, devicePixelRatioF(), this);
    }

    m_font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    // Measured without word wrapping: lines break only where the text does,
    // unless a line would make the box wider than the screen allows.
    const QRect measured = QFontMetrics(m_font).boundingRect(
        QRect(0, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs, m_text);
    measures.textSize = measured.size();
    const QScreen* screen =
        parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const int maxWidth = MessageBoxLayout::maxTextWidth(
        screen ? screen->availableGeometry().width() : 0, measures.iconWidth);
    if (measures.textSize.width() > maxWidth) {
        m_textOption.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        measures.textSize = wrappedTextSize(m_font, m_text, m_textOption, maxWidth);
    }

    m_geometry = MessageBoxLayout::compute(measures);
    setFixedSize(m_geometry.client);
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        SkinButtonWidget* window = m_buttons[i].button->window();
        window->resize(m_geometry.buttonWidth, window->height());
        window->move(m_geometry.buttonLefts.value(int(i)), m_geometry.buttonTop);
    }
    setWindowTitle(m_caption);
}

SkinButtonWidget* MessageBoxWindow::button(int controlNumber) const
{
    for (const Button& b : m_buttons) {
        if (b.button->window() && b.button->window()->controlNumber() == controlNumber)
            return b.button->window();
    }
    return nullptr;
}

SkinButtonWidget* MessageBoxWindow::defaultButton() const
{
    const MessageBoxButtons& ids = MessageBoxSkin::instance().buttons;
    switch (m_layout) {
    case SkinMessageBox::LayoutYesNo:
        return button(ids.noControl);
    case SkinMessageBox::LayoutYesNoCancel:
        return button(ids.cancelControl);
    default:
        return button(ids.okControl);
    }
}

int MessageBoxWindow::run()
{
    // Not centred: the box opens at the owner's top-left corner.
    if (QWidget* owner = parentWidget())
        move(owner->mapToGlobal(QPoint(0, 0)));
    return exec();
}

void MessageBoxWindow::onCommand(int controlNumber)
{
    for (const Button& b : m_buttons) {
        if (b.button->window() && b.button->window()->controlNumber() == controlNumber) {
            finish(b.result);
            return;
        }
    }
}

void MessageBoxWindow::finish(int result)
{
    if (m_listed) {
        openBoxes().remove(this);
        m_listed = false;
    }
    done(result);
}

void MessageBoxWindow::closeEvent(QCloseEvent* event)
{
    // Whatever the buttons, closing the box answers OK.
    event->accept();
    finish(SkinMessageBox::IdOk);
}

void MessageBoxWindow::reject()
{
    // Escape closes the box like its close button.
    finish(SkinMessageBox::IdOk);
}

void MessageBoxWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const MessageBoxSkin& skin = MessageBoxSkin::instance();
    const QImage background =
        skin.background ? skin.background->frame(skin::LayeredImage::Foreground, 0) : QImage();
    if (background.isNull()) {
        painter.fillRect(rect(), palette().color(QPalette::Button));
    } else {
        const QRect source(0, 0, std::min(background.width(), width()),
                           std::min(background.height(), height()));
        painter.drawImage(rect(), background, source);
    }
    if (!m_iconPixmap.isNull())
        painter.drawPixmap(IconPlace, m_iconPixmap);
    painter.setFont(m_font);
    // On the skin's background the skin's colour; without one the theme's.
    painter.setPen(background.isNull() ? palette().color(QPalette::WindowText)
                                       : QColor::fromRgb(SkinColours::Text));
    if (m_textOption.wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere)
        painter.drawText(QRectF(m_geometry.textRect), m_text, m_textOption);
    else
        painter.drawText(m_geometry.textRect,
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextExpandTabs,
                         m_text);
}

} // namespace mailvane::widgets
