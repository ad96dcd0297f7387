#pragma once

// Drives a modal window from inside its own event loop: once a window of the
// wanted kind is the active modal widget, `action` runs on it. Waits with a
// time limit, never a fixed sleep.

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <functional>

namespace mailvane::test {

template <typename Window> void whenModal(std::function<void(Window*)> action, int timeoutMs = 5000)
{
    auto* poll = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, qApp, [poll, clock, action, timeoutMs] {
        if (auto* window = qobject_cast<Window*>(QApplication::activeModalWidget())) {
            if (window->isVisible()) {
                poll->stop();
                poll->deleteLater();
                action(window);
                return;
            }
        }
        if (clock->elapsed() > timeoutMs) {
            poll->stop();
            poll->deleteLater();
            if (QWidget* stuck = QApplication::activeModalWidget())
                stuck->close();
        }
    });
    poll->start(2);
}

} // namespace mailvane::test
