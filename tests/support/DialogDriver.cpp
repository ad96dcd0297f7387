#include "DialogDriver.h"

#include "ControlIds.h"

#include <QAbstractButton>
#include <gtest/gtest.h>

namespace mailvane::test {

DialogDriver::DialogDriver()
{
    m_timer.setInterval(5);
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
    if (!modal || modal == m_last || !modal->isVisible())
        return;
    m_last = modal;
    m_seen << QString::fromLatin1(modal->metaObject()->className());
    if (!m_steps.empty() && m_steps.front().matches(modal)) {
        const Step step = std::move(m_steps.front());
        m_steps.pop_front();
        step.action(modal);
    }
}

void clickControl(QWidget* dialog, int controlNumber)
{
    auto* button = qobject_cast<QAbstractButton*>(widgets::findControl(dialog, controlNumber));
    ASSERT_NE(button, nullptr) << "no button " << controlNumber;
    button->click();
}

} // namespace mailvane::test
