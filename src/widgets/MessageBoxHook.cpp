#include "MessageBoxHook.h"

namespace mailvane::widgets {
namespace {

MessageBoxHook*& installed()
{
    static MessageBoxHook* hook = nullptr;
    return hook;
}

} // namespace

MessageBoxHook::MessageBoxHook(int defaultAnswer)
    : m_defaultAnswer(defaultAnswer), m_previous(installed())
{
    installed() = this;
}

MessageBoxHook::~MessageBoxHook()
{
    installed() = m_previous;
}

MessageBoxHook* MessageBoxHook::current()
{
    return installed();
}

void MessageBoxHook::answer(int result)
{
    m_answers.append(result);
}

int MessageBoxHook::take(const MessageBoxRequest& request)
{
    m_requests.append(request);
    return m_answers.isEmpty() ? m_defaultAnswer : m_answers.takeFirst();
}

} // namespace mailvane::widgets
