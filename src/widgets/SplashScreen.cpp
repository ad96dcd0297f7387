#include "SplashScreen.h"

#include "SkinImage.h"
#include "SplashScreenWidget.h"
#include "WindowOpacitySupport.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace mailvane::widgets {
namespace {

SplashScreen*& shown()
{
    static SplashScreen* splash = nullptr;
    return splash;
}

} // namespace

SplashScreen::SplashScreen(const platform::LibraryHandle& module, int number)
{
    // Size and shape come from the plain picture: a window's mask is made of
    // whole pixels, and the finer picture outlines the same shape.
    skin::LayeredImage plain;
    if (!plain.loadFromResource(module, number, skin::LayeredImage::Foreground, 0))
        return;
    m_size = plain.frame(skin::LayeredImage::Foreground, 0).size();
    if (!plain.frame(skin::LayeredImage::AlphaMask, 0).isNull())
        m_shape = plain.region(skin::LayeredImage::AlphaMask, 0,
                               skin::KeyColour{0xFFFFFF, MaskTolerance});
    const QScreen* screen = QGuiApplication::primaryScreen();
    m_scale = skin::pictureScale(screen ? screen->devicePixelRatio() : 1.0);
    if (!m_image.loadFromResourceAtScale(module, number, m_scale, skin::LayeredImage::Foreground,
                                         0))
        m_size = QSize();
}

QImage SplashScreen::shownPicture() const
{
    QImage shown = m_image.frame(skin::LayeredImage::Composite, 0);
    if (shown.isNull())
        shown = m_image.frame(skin::LayeredImage::Foreground, 0);
    shown.setDevicePixelRatio(m_scale);
    return shown;
}

SplashScreen::~SplashScreen()
{
    destroy();
}

bool SplashScreen::hasPicture() const
{
    return !m_image.frame(skin::LayeredImage::Foreground, 0).isNull();
}

QWidget* SplashScreen::window() const
{
    return m_window.data();
}

SplashScreen* SplashScreen::current()
{
    return shown();
}

bool SplashScreen::animationAvailable()
{
    return WindowOpacitySupport::available();
}

QRect SplashScreen::placement(const QRect& desktop, const QSize& picture)
{
    // Integer halves, towards zero: a larger picture sits at negative offsets.
    return QRect(desktop.x() + (desktop.width() - picture.width()) / 2,
                 desktop.y() + (desktop.height() - picture.height()) / 2, picture.width(),
                 picture.height());
}

void SplashScreen::compose(const QRect& area)
{
    constexpr int Background = skin::LayeredImage::Background;
    // The desktop as finely as the picture: a screen grab comes in device
    // pixels; a source of our own that gives pixels is enlarged.
    const QSize pixels = area.size() * m_scale;
    if (m_desktop) {
        QImage desktop = m_desktop(area);
        if (!desktop.isNull() && desktop.size() != pixels)
            desktop = desktop.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_image.deleteFrame(Background, 0);
        m_image.storeBitmap(desktop, Background, 0);
    } else {
        QImage grabbed;
        if (QScreen* screen = QGuiApplication::primaryScreen())
            grabbed =
                screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
        m_image.storeCapture(grabbed, pixels.width(), pixels.height(), 0, 0);
    }
    // Without a mask there is nothing to blend: the picture is shown as it is.
    m_image.blend(skin::LayeredImage::BlendMode::FreeBuffersAfter, 0, 0);
}

void SplashScreen::wait(int ms)
{
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void SplashScreen::fade(bool in, int durationMs)
{
    SplashScreenWidget* window = m_window.data();
    window->setWindowOpacity(in ? 0.0 : 1.0);
    window->show();
    if (durationMs > 0) {
        QEventLoop loop;
        QTimer steps;
        QElapsedTimer clock;
        clock.start();
        QObject::connect(&steps, &QTimer::timeout, &loop, [&] {
            const qreal done = qMin<qreal>(1.0, qreal(clock.elapsed()) / durationMs);
            if (m_window)
                m_window->setWindowOpacity(in ? done : 1.0 - done);
            if (done >= 1.0 || !m_window)
                loop.quit();
        });
        steps.start(FadeStepMs);
        loop.exec();
    }
    if (m_window)
        m_window->setWindowOpacity(in ? 1.0 : 0.0);
}

bool SplashScreen::show(int displayMs, int fadeInMs, const WhileShown& whileShown)
{
    if (!hasPicture() || m_window)
        return false;
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect desktop = screen ? screen->geometry() : QRect();
    const QRect place = placement(desktop, m_size);

    auto* window = new SplashScreenWidget(*this);
    window->setObjectName(QString::fromLatin1(WindowName));
    window->setGeometry(place);
    m_window = window;
    shown() = this;
    QObject::connect(window, &QObject::destroyed, window, [this] {
        if (shown() == this)
            shown() = nullptr;
    });
    compose(place);

    const auto applyMask = [this] {
        if (m_window && m_shape)
            m_window->setMask(*m_shape);
    };
    // A Wayland compositor takes a window's mask for where input goes, not for
    // what shows: there the splash is translucent and paints inside its mask
    // only, which must be known before the first paint.
    const bool maskClipsPainting =
        !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    if (!maskClipsPainting) {
        window->setAttribute(Qt::WA_TranslucentBackground);
        applyMask();
    }
    if (animationAvailable()) {
        fade(true, fadeInMs);
    } else {
        window->show();
        wait(fadeInMs);
    }
    if (maskClipsPainting)
        applyMask();
    QElapsedTimer shownFor;
    shownFor.start();
    if (whileShown) {
        // Let the splash finish its paint before the work holds the thread.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        whileShown();
    }
    wait(displayMs - static_cast<int>(shownFor.elapsed()));
    return true;
}

bool SplashScreen::hide(int fadeOutMs)
{
    if (!m_window)
        return false;
    if (animationAvailable()) {
        m_window->clearMask();
        compose(m_window->geometry());
        m_window->update();
        fade(false, fadeOutMs);
    } else {
        wait(fadeOutMs);
    }
    if (m_window) {
        m_window->hide();
        delete m_window.data();
    }
    if (shown() == this)
        shown() = nullptr;
    return m_window.isNull();
}

bool SplashScreen::showFor(int displayMs, int fadeInMs, int fadeOutMs, const WhileShown& whileShown)
{
    const bool showed = show(displayMs, fadeInMs, whileShown);
    if (showed)
        hide(fadeOutMs);
    return showed;
}

void SplashScreen::destroy()
{
    delete m_window.data();
    if (shown() == this)
        shown() = nullptr;
    for (int layer = skin::LayeredImage::Foreground; layer <= skin::LayeredImage::Composite;
         ++layer)
        m_image.deleteFrame(layer, 0);
    m_image.freeBlendBuffers();
}

} // namespace mailvane::widgets
