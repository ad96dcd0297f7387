#include "BmpButton.h"

#include <QFontDatabase>
#include <QFontMetrics>

namespace mailvane::skin {
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

std::optional<QRegion> regionOf(const COBitmapUtil& image, bool useMaskLayer,
                                std::uint32_t keyColour)
{
    const KeyColour key{keyColour, BmpButton::ShapeTolerance};
    if (useMaskLayer && !image.frame(COBitmapUtil::AlphaMask, 0).isNull())
        return image.region(COBitmapUtil::AlphaMask, 0, key);
    return image.region(COBitmapUtil::Foreground, 0, key);
}

std::optional<ButtonShapeRegions> regionsOf(const COBitmapUtil& left, const COBitmapUtil& middle,
                                            const COBitmapUtil& right, bool useMaskLayer,
                                            std::uint32_t keyColour)
{
    const auto l = regionOf(left, useMaskLayer, keyColour);
    const auto m = regionOf(middle, useMaskLayer, keyColour);
    const auto r = regionOf(right, useMaskLayer, keyColour);
    if (!l || !m || !r)
        return std::nullopt;
    return ButtonShapeRegions{*l, *m, *r};
}

bool validState(int state)
{
    return state >= 0 && state < ButtonStateCount;
}

} // namespace

BmpButton::BmpButton() : m_impl(std::make_unique<BmpButtonImpl>())
{
    ++registration().live;
}

BmpButton::~BmpButton()
{
    delete m_window.data();
    if (--registration().live == 0)
        registration().name.clear();
}

int BmpButton::liveCount()
{
    return registration().live;
}

QString BmpButton::registeredClassName()
{
    return registration().name;
}

bool BmpButton::create(const platform::LibraryHandle& module, QWidget* parent, const QRect& rect,
                       int controlNumber, const QString& text)
{
    if (m_window)
        return false;
    if (registration().name.isEmpty())
        registration().name = QString::fromLatin1(ClassName);
    m_impl->module = module;
    m_impl->controlNumber = controlNumber;
    m_impl->text = text;
    auto* window = new BmpButtonWindow(*m_impl, parent);
    window->setObjectName(registration().name);
    window->setGeometry(rect);
    window->reshape();
    window->remakeFont();
    window->show();
    m_window = window;
    return true;
}

bool BmpButton::setShape(const std::optional<ButtonShapeRegions>& regions)
{
    if (!regions)
        return false;
    m_impl->shapeRegions = regions;
    if (m_window)
        m_window->applyShape();
    return true;
}

bool BmpButton::setShapeFromResources(const platform::LibraryHandle& module, int leftNumber,
                                      int middleNumber, int rightNumber, bool useMaskLayer,
                                      std::uint32_t keyColour)
{
    COBitmapUtil left, middle, right;
    left.loadFromResource(module, leftNumber, COBitmapUtil::Foreground, 0);
    middle.loadFromResource(module, middleNumber, COBitmapUtil::Foreground, 0);
    right.loadFromResource(module, rightNumber, COBitmapUtil::Foreground, 0);
    return setShape(regionsOf(left, middle, right, useMaskLayer, keyColour));
}

bool BmpButton::setShapeFromBitmaps(const QImage& left, const QImage& middle, const QImage& right,
                                    std::uint32_t keyColour)
{
    COBitmapUtil l, m, r;
    l.storeBitmap(left, COBitmapUtil::Foreground, 0);
    m.storeBitmap(middle, COBitmapUtil::Foreground, 0);
    r.storeBitmap(right, COBitmapUtil::Foreground, 0);
    return setShape(regionsOf(l, m, r, false, keyColour));
}

void BmpButton::repaintIfCurrent(int state)
{
    if (m_window && int(m_impl->state) == state)
        m_window->update();
}

bool BmpButton::setStateImagesFromResources(int state, const platform::LibraryHandle& module,
                                            int leftNumber, int middleNumber, int rightNumber)
{
    if (!validState(state))
        return false;
    const auto load = [&](COBitmapUtil& images, int number) {
        if (number != 0)
            images.loadFromResource(module, number, COBitmapUtil::Foreground, state);
    };
    load(m_impl->leftImages, leftNumber);
    load(m_impl->middleImages, middleNumber);
    load(m_impl->rightImages, rightNumber);
    repaintIfCurrent(state);
    return true;
}

bool BmpButton::setStateImagesFromBitmaps(int state, const QImage& left, const QImage& middle,
                                          const QImage& right)
{
    if (!validState(state))
        return false;
    const auto store = [&](COBitmapUtil& images, const QImage& bitmap) {
        images.deleteFrame(COBitmapUtil::Foreground, state);
        if (!bitmap.isNull())
            images.storeBitmap(bitmap, COBitmapUtil::Foreground, state);
    };
    store(m_impl->leftImages, left);
    store(m_impl->middleImages, middle);
    store(m_impl->rightImages, right);
    repaintIfCurrent(state);
    return true;
}

void BmpButton::setText(const QString& text, bool autoSize, int maxWidth)
{
    if (m_window)
        m_window->remakeFont();
    m_impl->text = text;
    if (!m_window)
        return;
    if (autoSize) {
        const QFont measureFont = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        const int textWidth = QFontMetrics(measureFont).horizontalAdvance(text);
        const int width =
            m_window->width() - m_impl->middleSpan.width() + textWidth + AutoSizePadding;
        m_window->resize(qMin(width, maxWidth), m_window->height());
    }
    m_window->update();
}

void BmpButton::enable(bool on)
{
    if (!m_window)
        return;
    m_window->setEnabled(on);
    m_window->update();
}

QSize BmpButton::minimumSize() const
{
    if (!m_impl->shapeRegions)
        return {0, 0};
    return ButtonShapeBuilder::minimumSize(*m_impl->shapeRegions);
}

} // namespace mailvane::skin
