#pragma once

// For the start-up benchmark (bench/startup.sh): with MAILVANE_STARTUP_PROBE
// set, the first paint of the watched window writes one line to stderr and
// ends the program. The line holds the wall-clock times (ns) of the splash's
// first paint, of the splash's end and of the window's first paint, the time
// the splash took and the peak resident memory. Without the variable it does
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

    // Times the splash: between splashStarted() and splashEnded(). The
    // splash's first paint is caught by its window's object name.
    void splashStarted();
    void splashEnded();

    // Reports at the window's first paint.
    void watch(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void report(QObject* window);

    bool m_enabled = enabled();
    QElapsedTimer m_splash;
    qint64 m_splashMs = 0;
    long long m_splashPaintNs = 0;
    long long m_splashEndNs = 0;
    QWidget* m_window = nullptr;
    bool m_reported = false;
};

} // namespace mailvane::app
