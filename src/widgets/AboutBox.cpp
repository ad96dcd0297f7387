#include "AboutBox.h"

#include "MaskBlend.h"
#include "ProgramVersion.h"
#include "SkinColours.h"
#include "SkinImage.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace mailvane::widgets {
namespace {

constexpr QSize TemplateSize{304, 200};

QImage bgr(const QImage& image)
{
    return image.convertToFormat(QImage::Format_BGR888);
}

} // namespace

AboutBox::AboutBox(QWidget* owner, const platform::LibraryHandle& module, int productNumber,
                   int emblemNumber, int emblemMaskNumber, const QString& programPath,
                   const QString& freeText)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    // The pictures as fine as the screen: the finer set where the skin has it.
    m_scale = skin::pictureScale(devicePixelRatioF());
    skin::SkinImage loader;
    m_product = loader.load(module, productNumber, m_scale);
    m_productMask = loader.takeMask();
    m_emblem = loader.load(module, emblemNumber, m_scale);
    m_emblemMask = loader.load(module, emblemMaskNumber, m_scale);
    build(programPath.isNull() ? platform::ProgramVersion::commandLine() : programPath, freeText);
}

bool AboutBox::show(QWidget* owner, const platform::LibraryHandle& module, int productNumber,
                    int emblemNumber, int emblemMaskNumber, const QString& programPath,
                    const QString& freeText)
{
    if (module.isEmpty())
        return false;
    AboutBox box(owner, module, productNumber, emblemNumber, emblemMaskNumber, programPath,
                 freeText);
    box.exec();
    return true;
}

QRect AboutBox::dialogRect(int x, int y, int w, int h) const
{
    const auto px = [this](int units) {
        return units * m_baseWidth / 4;
    };
    const auto py = [this](int units) {
        return units * m_baseHeight / 8;
    };
    return QRect(px(x), py(y), px(w), py(h));
}

void AboutBox::build(const QString& programPath, const QString& freeText)
{
    // The banner's ink is dark, drawn for a light face: the box keeps the
    // skin's light look on a dark desktop too.
    SkinColours::useSkinPalette(this);
    // The box's face is the button face the emblem is blended onto, or the
    // emblem would stand on a block of its own.
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    QFont font(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family(), FontPoints);
    setFont(font);
    const QFontMetrics metrics(font);
    // The average width of the 52 letters, rounded, and the font's height:
    // the base units that dialog templates are measured in.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseWidth = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    m_baseHeight = metrics.height();

    setFixedSize(dialogRect(0, 0, TemplateSize.width(), TemplateSize.height()).size());
    setWindowTitle(QString::fromLatin1(Caption));

    auto* ok = new QPushButton(QString::fromLatin1(OkText), this);
    ok->setObjectName(QStringLiteral("control1"));
    ok->setGeometry(dialogRect(247, 179, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { done(1); });

    m_productLabel = new QLabel(this);
    m_productLabel->setObjectName(QStringLiteral("control100"));
    m_productLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_productLabel->move(dialogRect(7, 7, 0, 0).topLeft());
    // The product picture; a screen reader says the product's name.
    m_productLabel->setAccessibleName(QGuiApplication::applicationDisplayName());
    if (!m_product.isNull()) {
        showProduct();
        m_productLabel->adjustSize(); // a picture static takes the picture's size
    } else {
        m_productLabel->resize(dialogRect(7, 7, 50, 14).size());
    }

    m_emblemArea = dialogRect(94, 7, 203, 55);

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("control107"));
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    const QRect lineRect = dialogRect(7, 172, 290, 1);
    line->setGeometry(lineRect.x(), lineRect.y(), lineRect.width(), 2);

    m_name = new QLabel(nameAndVersion(programPath), this);
    m_name->setObjectName(QStringLiteral("control102"));
    m_name->setGeometry(dialogRect(94, 61, 203, 12));
    auto* free = new QLabel(freeText, this);
    free->setObjectName(QStringLiteral("control108"));
    free->setGeometry(dialogRect(94, 73, 203, 12));

    ok->setFocus();
}

void AboutBox::showProduct()
{
    if (!m_productLabel || m_product.isNull())
        return;
    // Through its mask where it has one: its corners show the face it lies on
    // (the box's own: the label follows it, but only after the box is told).
    QImage shown = composeEmblem(m_product, m_productMask, palette().color(backgroundRole()));
    shown.setDevicePixelRatio(m_scale);
    m_productLabel->setPixmap(QPixmap::fromImage(shown));
}

QString AboutBox::nameLine() const
{
    return m_name ? m_name->text() : QString();
}

QString AboutBox::nameAndVersion(const QString& programPathText)
{
    QString line = QString::fromLatin1(ProductName);
    const auto version = platform::ProgramVersion::readFileVersion(
        platform::ProgramVersion::programFileOf(programPathText));
    if (version)
        line += QLatin1Char('.') + QString::number((*version)[3] & 0xFFFF);
    // The text after the last point of ".012".
    const QString tail = QString::fromLatin1(VersionTail);
    return line + tail.mid(tail.lastIndexOf(QLatin1Char('.')));
}

QImage AboutBox::composeEmblem(const QImage& emblem, const QImage& mask, const QColor& face)
{
    if (emblem.isNull())
        return {};
    QImage faceImage(emblem.size(), QImage::Format_BGR888);
    faceImage.fill(face);
    const QImage e = bgr(emblem);
    QImage m = mask.isNull() ? QImage() : bgr(mask);
    if (m.size() != e.size()) {
        // A missing or mismatched mask counts as opaque everywhere.
        m = QImage(e.size(), QImage::Format_BGR888);
        m.fill(Qt::black);
    }
    QImage out(e.size(), QImage::Format_BGR888);
    for (int y = 0; y < e.height(); ++y)
        skin::blendThroughMask(e.constScanLine(y), m.constScanLine(y), faceImage.constScanLine(y),
                               out.scanLine(y), qsizetype(e.width()) * 3);
    return out;
}

void AboutBox::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    if (m_composed.isNull()) {
        m_composed = composeEmblem(m_emblem, m_emblemMask, palette().color(QPalette::Button));
        m_composed.setDevicePixelRatio(m_scale);
    }
    if (m_composed.isNull())
        return;
    QPainter painter(this);
    painter.setClipRect(m_emblemArea);
    painter.drawImage(m_emblemArea.topLeft(), m_composed);
}

void AboutBox::reject()
{
    done(1);
}

void AboutBox::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        m_composed = QImage();
        showProduct();
        update();
    }
}

} // namespace mailvane::widgets
