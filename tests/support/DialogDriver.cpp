#include "DialogDriver.h"

#include "ControlIds.h"

#include <QAbstractButton>
#include <gtest/gtest.h>

namespace mailvane::test {

DialogDriver::DialogDriver(std::chrono::milliseconds limit) : m_limit(limit)
{
    m_clock.start();
    m_timer.setInterval(2);
    connect(&m_timer, &QTimer::timeout, this, &DialogDriver::poll);
    m_timer.start();
}

void DialogDriver::when(std::function<bool()> condition, std::function<void()> action)
{
    m_condition = std::move(condition);
    m_conditionAction = std::move(action);
}

void DialogDriver::poll()
{
    if (m_condition && m_condition()) {
        // Taken first: the action may spin the event loop and poll again.
        const auto action = std::move(m_conditionAction);
        m_condition = nullptr;
        action();
    }
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == m_last || !modal->isVisible()) {
        if (!m_steps.empty() && m_clock.elapsed() > m_limit.count())
            giveUp();
        return;
    }
    m_last = modal;
    m_seen << QString::fromLatin1(modal->metaObject()->className());
    if (!m_steps.empty() && m_steps.front().matches(modal)) {
        const Step step = std::move(m_steps.front());
        m_steps.pop_front();
        m_clock.restart();
        step.action(modal);
        finishIfDone();
    }
}

void DialogDriver::giveUp()
{
    ADD_FAILURE() << "an expected modal dialog did not come up within " << m_limit.count()
                  << " ms (modal windows seen: " << m_seen.join(QStringLiteral(", ")).toStdString()
                  << ")";
    m_steps.clear();
    if (QWidget* stuck = QApplication::activeModalWidget())
        stuck->close();
    finishIfDone();
}

void DialogDriver::finishIfDone()
{
    if (m_deleteWhenFinished && m_steps.empty()) {
        m_timer.stop();
        deleteLater();
    }
}

void clickControl(QWidget* dialog, int controlNumber)
{
    auto* button = qobject_cast<QAbstractButton*>(widgets::findControl(dialog, controlNumber));
    ASSERT_NE(button, nullptr) << "no button " << controlNumber;
    button->click();
}

} // namespace mailvane::test
