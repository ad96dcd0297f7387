#pragma once

// For the start-up benchmark (bench/startup.sh): with MAILVANE_STARTUP_PROBE
// set, the first paint of the watched window writes one line to stderr --
// the wall-clock time of that paint, the time the splash took and the peak
// resident memory -- and ends the program. Without the variable it does
// nothing.

#include <QElapsedTimer>
#include <QObject>

class QWidget;

namespace mailvane::app {

class StartupProbe : public QObject
{
    Q_OBJECT

public:
    static constexpr const char* Variable = "MAILVANE_STARTUP_PROBE";

    static bool enabled();

    // Times the splash: between splashStarted() and splashEnded().
    void splashStarted() { m_splash.start(); }
    void splashEnded() { m_splashMs = m_splash.isValid() ? m_splash.elapsed() : 0; }

    // Reports at the window's first paint.
    void watch(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QElapsedTimer m_splash;
    qint64 m_splashMs = 0;
    bool m_reported = false;
};

} // namespace mailvane::app
