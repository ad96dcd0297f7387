#pragma once

// Acts on the modal dialogs a command opens, from inside their own event
// loops: each expected dialog type gets its action when it comes up, in
// order; other modal windows (the wait dialog) are noted and left alone.
// Also runs an action once a condition holds, for checks made while a
// command is in progress.

#include <QApplication>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

namespace mailvane::test {

class DialogDriver : public QObject
{
public:
    using Action = std::function<void(QWidget* dialog)>;

    DialogDriver();

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

private:
    struct Step
    {
        std::function<bool(QWidget*)> matches;
        Action action;
    };

    void poll();

    QTimer m_timer;
    QPointer<QWidget> m_last;
    std::deque<Step> m_steps;
    QStringList m_seen;
    std::function<bool()> m_condition;
    std::function<void()> m_conditionAction;
};

// Clicks the bitmap button with `controlNumber` in `dialog`.
void clickControl(QWidget* dialog, int controlNumber);

} // namespace mailvane::test
