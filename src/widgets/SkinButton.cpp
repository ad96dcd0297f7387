#include "SkinButton.h"

#include "Dib24.h"
#include "LayeredImage.h"
#include "RegionBuilder.h"
#include "SkinImage.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>

namespace mailvane::widgets {
namespace {

struct ClassRegistration
{
    int live = 0;
    QString name;
};

ClassRegistration& registration()
{
    static ClassRegistration instance;
    return instance;
}

// A picture of the skin library as the image container loads it: the colour
// image, and its mask when it has one.
struct LoadedPicture
{
    QImage colour;
    QImage mask;
};

// At `scale` the pictures are that many times as large and say so (their
// device pixel ratio), so that they cover the same pixels.
LoadedPicture loadPicture(const platform::LibraryHandle& module, int number, int scale = 1)
{
    skin::LayeredImage loader;
    if (!loader.loadFromResourceAtScale(module, number, scale, skin::LayeredImage::Foreground, 0))
        return {};
    LoadedPicture picture{loader.frame(skin::LayeredImage::Foreground, 0),
                          loader.frame(skin::LayeredImage::AlphaMask, 0)};
    picture.colour.setDevicePixelRatio(scale);
    picture.mask.setDevicePixelRatio(scale);
    return picture;
}

std::optional<QRegion> regionOf(const QImage& image, std::uint32_t keyColour)
{
    if (image.isNull())
        return std::nullopt;
    return skin::RegionBuilder::fromImage(image,
                                          skin::KeyColour{keyColour, SkinButton::ShapeTolerance});
}

std::optional<ButtonShapeRegions> regionsOf(const QImage& left, const QImage& middle,
                                            const QImage& right, std::uint32_t keyColour)
{
    const auto l = regionOf(left, keyColour);
    const auto m = regionOf(middle, keyColour);
    const auto r = regionOf(right, keyColour);
    if (!l || !m || !r)
        return std::nullopt;
    return ButtonShapeRegions{*l, *m, *r};
}

// Captions are padded with blanks to look wider ("  OK  "); a screen reader
// should say just the word.
QString accessibleCaption(const QString& text)
{
    return text.trimmed();
}

bool validState(int state)
{
    return state >= 0 && state < ButtonStateCount;
}

} // namespace

SkinButton::SkinButton() : m_impl(std::make_unique<SkinButtonState>())
{
    ++registration().live;
}

SkinButton::~SkinButton()
{
    delete m_window.data();
    if (--registration().live == 0)
        registration().name.clear();
}

int SkinButton::liveCount()
{
    return registration().live;
}

QString SkinButton::registeredClassName()
{
    return registration().name;
}

bool SkinButton::create(const platform::LibraryHandle& module, QWidget* parent, const QRect& rect,
                        int controlNumber, const QString& text)
{
    if (m_window)
        return false;
    if (registration().name.isEmpty())
        registration().name = QString::fromLatin1(ClassName);
    m_impl->module = module;
    m_impl->controlNumber = controlNumber;
    m_impl->text = text;
    auto* window = new SkinButtonWidget(*m_impl, parent);
    window->setObjectName(registration().name);
    window->setAccessibleName(accessibleCaption(text));
    window->setGeometry(rect);
    window->reshape();
    window->remakeFont();
    window->show();
    m_window = window;
    return true;
}

bool SkinButton::setShape(const std::optional<ButtonShapeRegions>& regions)
{
    if (!regions)
        return false;
    m_impl->shapeRegions = regions;
    if (m_window)
        m_window->applyShape();
    return true;
}

bool SkinButton::setShapeFromResources(const platform::LibraryHandle& module, int leftNumber,
                                       int middleNumber, int rightNumber, bool useMaskLayer,
                                       std::uint32_t keyColour)
{
    const auto shapeOf = [&](int number) {
        LoadedPicture picture = loadPicture(module, number);
        return useMaskLayer && !picture.mask.isNull() ? picture.mask : picture.colour;
    };
    return setShape(
        regionsOf(shapeOf(leftNumber), shapeOf(middleNumber), shapeOf(rightNumber), keyColour));
}

bool SkinButton::setShapeFromBitmaps(const QImage& left, const QImage& middle, const QImage& right,
                                     std::uint32_t keyColour)
{
    return setShape(regionsOf(left, middle, right, keyColour));
}

void SkinButton::repaintIfCurrent(int state)
{
    if (m_window && int(m_impl->state) == state)
        m_window->update();
}

bool SkinButton::setStateImagesFromResources(int state, const platform::LibraryHandle& module,
                                             int leftNumber, int middleNumber, int rightNumber)
{
    if (!validState(state))
        return false;
    // As fine as the screen the button shows on (the shape stays in pixels).
    const int scale =
        skin::pictureScale(m_window ? m_window->devicePixelRatioF() : qApp->devicePixelRatio());
    // A failed load leaves the piece missing, as a load into an emptied frame would.
    const auto load = [&](QImage& piece, int number) {
        if (number != 0)
            piece = loadPicture(module, number, scale).colour;
    };
    ButtonPieces& pieces = m_impl->pieces[size_t(state)];
    load(pieces.left, leftNumber);
    load(pieces.middle, middleNumber);
    load(pieces.right, rightNumber);
    repaintIfCurrent(state);
    return true;
}

bool SkinButton::setStateImagesFromBitmaps(int state, const QImage& left, const QImage& middle,
                                           const QImage& right)
{
    if (!validState(state))
        return false;
    // Copies in section form, so that the caller may change its images afterwards.
    const auto copyOf = [](const QImage& bitmap) {
        return skin::dib::toSection(bitmap).copy();
    };
    m_impl->pieces[size_t(state)] = ButtonPieces{copyOf(left), copyOf(middle), copyOf(right)};
    repaintIfCurrent(state);
    return true;
}

void SkinButton::setText(const QString& text, bool autoSize, int maxWidth)
{
    if (m_window)
        m_window->remakeFont();
    m_impl->text = text;
    if (!m_window)
        return;
    m_window->setAccessibleName(accessibleCaption(text));
    if (autoSize) {
        const QFont measureFont = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        const int textWidth = QFontMetrics(measureFont).horizontalAdvance(text);
        const int width =
            m_window->width() - m_impl->middleSpan.width() + textWidth + AutoSizePadding;
        m_window->resize(qMin(width, maxWidth), m_window->height());
    }
    m_window->update();
}

void SkinButton::setTextColours(QRgb normal, QRgb disabled)
{
    m_impl->textColour = normal;
    m_impl->disabledTextColour = disabled;
    if (m_window)
        m_window->update();
}

void SkinButton::enable(bool on)
{
    if (!m_window)
        return;
    m_window->setEnabled(on);
    m_window->update();
}

QSize SkinButton::minimumSize() const
{
    if (!m_impl->shapeRegions)
        return {0, 0};
    return ButtonShapeBuilder::minimumSize(*m_impl->shapeRegions);
}

} // namespace mailvane::widgets
