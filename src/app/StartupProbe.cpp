#include "StartupProbe.h"

#include "SplashScreen.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>

namespace mailvane::app {
namespace {

// Wall-clock time, comparable with the time the benchmark started the process.
long long nowNs()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

} // namespace

bool StartupProbe::enabled()
{
    const char* value = std::getenv(Variable);
    return value && *value;
}

void StartupProbe::splashStarted()
{
    m_splash.start();
    // The splash window is made and painted inside the splash's own wait.
    if (m_enabled)
        QCoreApplication::instance()->installEventFilter(this);
}

void StartupProbe::splashEnded()
{
    m_splashMs = m_splash.isValid() ? m_splash.elapsed() : 0;
    m_splashEndNs = nowNs();
}

void StartupProbe::watch(QWidget* window)
{
    m_window = window;
    if (m_enabled)
        QCoreApplication::instance()->installEventFilter(this);
}

bool StartupProbe::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Paint)
        return false;
    if (m_splashPaintNs == 0 &&
        watched->objectName() == QLatin1String(widgets::SplashScreen::WindowName))
        m_splashPaintNs = nowNs();
    if (watched == m_window && !m_reported) {
        m_reported = true;
        // Report once the paint is done: after this event, from the event loop.
        QTimer::singleShot(0, this, [this, watched] { report(watched); });
    }
    return false;
}

void StartupProbe::report(QObject* window)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::fprintf(stderr,
                 "startup-probe paint-ns=%lld splash-ms=%lld splash-paint-ns=%lld "
                 "splash-end-ns=%lld peak-rss-kb=%ld\n",
                 nowNs(), static_cast<long long>(m_splashMs), m_splashPaintNs, m_splashEndNs,
                 usage.ru_maxrss);
    std::fflush(stderr);
    if (auto* widget = qobject_cast<QWidget*>(window))
        widget->hide();
    QCoreApplication::exit(0);
}

} // namespace mailvane::app
