#include "SplashWnd.h"

#include "SplashWindow.h"
#include "WindowOpacitySupport.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace mailvane::skin {
namespace {

SplashWnd*& shown()
{
    static SplashWnd* splash = nullptr;
    return splash;
}

} // namespace

SplashWnd::SplashWnd(const platform::LibraryHandle& module, int number)
{
    m_image.loadFromResource(module, number, COBitmapUtil::Foreground, 0);
}

SplashWnd::~SplashWnd()
{
    destroy();
}

bool SplashWnd::hasPicture() const
{
    return !m_image.frame(COBitmapUtil::Foreground, 0).isNull();
}

QWidget* SplashWnd::window() const
{
    return m_window.data();
}

SplashWnd* SplashWnd::current()
{
    return shown();
}

bool SplashWnd::animationAvailable()
{
    return WindowOpacitySupport::available();
}

QRect SplashWnd::placement(const QRect& desktop, const QSize& picture)
{
    // Integer halves, towards zero: a larger picture sits at negative offsets.
    return QRect(desktop.x() + (desktop.width() - picture.width()) / 2,
                 desktop.y() + (desktop.height() - picture.height()) / 2, picture.width(),
                 picture.height());
}

void SplashWnd::compose(const QRect& area)
{
    constexpr int Background = COBitmapUtil::Background;
    if (m_desktop) {
        m_image.deleteFrame(Background, 0);
        m_image.storeBitmap(m_desktop(area), Background, 0);
    } else {
        m_image.capture(nullptr, area.x(), area.y(), area.width(), area.height(), 0, 0);
    }
    // Without a mask there is nothing to blend: the picture is shown as it is.
    m_image.blend(COBitmapUtil::BlendMode::FreeBuffersAfter, 0, 0);
}

void SplashWnd::wait(int ms)
{
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void SplashWnd::fade(bool in, int durationMs)
{
    SplashWindow* window = m_window.data();
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

bool SplashWnd::show(int displayMs, int fadeInMs, const WhileShown& whileShown)
{
    if (!hasPicture() || m_window)
        return false;
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect desktop = screen ? screen->geometry() : QRect();
    const QImage picture = m_image.frame(COBitmapUtil::Foreground, 0);
    const QRect place = placement(desktop, picture.size());

    auto* window = new SplashWindow(m_image);
    window->setObjectName(QString::fromLatin1(WindowName));
    window->setGeometry(place);
    m_window = window;
    shown() = this;
    QObject::connect(window, &QObject::destroyed, window, [this] {
        if (shown() == this)
            shown() = nullptr;
    });
    compose(place);

    if (animationAvailable()) {
        fade(true, fadeInMs);
    } else {
        window->show();
        wait(fadeInMs);
    }
    if (m_window && !m_image.frame(COBitmapUtil::AlphaMask, 0).isNull()) {
        const auto region =
            m_image.region(COBitmapUtil::AlphaMask, 0, KeyColour{0xFFFFFF, MaskTolerance});
        if (region)
            m_window->setMask(*region);
    }
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

bool SplashWnd::hide(int fadeOutMs)
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

bool SplashWnd::showFor(int displayMs, int fadeInMs, int fadeOutMs, const WhileShown& whileShown)
{
    const bool showed = show(displayMs, fadeInMs, whileShown);
    if (showed)
        hide(fadeOutMs);
    return showed;
}

void SplashWnd::destroy()
{
    delete m_window.data();
    if (shown() == this)
        shown() = nullptr;
    for (int layer = COBitmapUtil::Foreground; layer <= COBitmapUtil::Composite; ++layer)
        m_image.deleteFrame(layer, 0);
    m_image.freeBlendBuffers();
}

} // namespace mailvane::skin
