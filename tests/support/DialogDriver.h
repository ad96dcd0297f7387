#pragma once

// Acts on the modal dialogs a command opens, from inside their own event
// loops: each expected dialog type gets its action when it comes up, in
// order; other modal windows (the wait dialog) are noted and left alone.
// Also runs an action once a condition holds, for checks made while a
// command is in progress.
//
// Waits with a time limit, never a fixed sleep: when an expected dialog has
// not come up within the limit of the driver's start or its last action, the
// test fails and whatever modal window stands in the way is closed, so that
// the command returns instead of hanging the suite.

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>

namespace mailvane::test {

class DialogDriver : public QObject
{
public:
    using Action = std::function<void(QWidget* dialog)>;

    static constexpr std::chrono::milliseconds DefaultLimit{30000};

    explicit DialogDriver(std::chrono::milliseconds limit = DefaultLimit);

    template <class Dialog> void expect(Action action)
    {
        m_steps.push_back(
            {[](QWidget* w) { return qobject_cast<Dialog*>(w) != nullptr; }, std::move(action)});
    }

    // Runs `action` (once) as soon as `condition` holds, from the event loop.
    void when(std::function<bool()> condition, std::function<void()> action);

    // Class names of the modal windows that came up, in order.
    const QStringList& seen() const { return m_seen; }
    bool done() const { return m_steps.empty() && !m_condition; }

    // The driver deletes itself once its steps are done or their time is up.
    void deleteWhenFinished() { m_deleteWhenFinished = true; }

private:
    struct Step
    {
        std::function<bool(QWidget*)> matches;
        Action action;
    };

    void poll();
    void giveUp();
    void finishIfDone();

    QTimer m_timer;
    QElapsedTimer m_clock;
    std::chrono::milliseconds m_limit;
    QPointer<QWidget> m_last;
    std::deque<Step> m_steps;
    QStringList m_seen;
    std::function<bool()> m_condition;
    std::function<void()> m_conditionAction;
    bool m_deleteWhenFinished = false;
};

// Runs `action` on the next visible modal `Window`, within `timeoutMs`.
template <typename Window> void whenModal(std::function<void(Window*)> action, int timeoutMs = 5000)
{
    auto* driver = new DialogDriver(std::chrono::milliseconds(timeoutMs));
    driver->setParent(qApp);
    driver->expect<Window>([action](QWidget* window) { action(static_cast<Window*>(window)); });
    driver->deleteWhenFinished();
}

// Clicks the bitmap button with `controlNumber` in `dialog`.
void clickControl(QWidget* dialog, int controlNumber);

} // namespace mailvane::test
