#pragma once

// Answers message boxes in tests without showing a window. While a hook is
// alive, SkinMessageBox::show() records each request and returns the next
// prepared answer instead of running a box. One hook at a time per process.

#include <QList>
#include <QString>

namespace mailvane::widgets {

struct MessageBoxRequest
{
    QString text;
    QString caption;
    unsigned flags = 0;
};

class MessageBoxHook
{
public:
    // Answers with `defaultAnswer` whenever no prepared answer is queued.
    explicit MessageBoxHook(int defaultAnswer = 1);
    ~MessageBoxHook();
    MessageBoxHook(const MessageBoxHook&) = delete;
    MessageBoxHook& operator=(const MessageBoxHook&) = delete;

    // Queues the answer for the next box (IdOk, IdCancel, IdYes, IdNo).
    void answer(int result);
    void setDefaultAnswer(int result) { m_defaultAnswer = result; }

    const QList<MessageBoxRequest>& requests() const { return m_requests; }
    void clear() { m_requests.clear(); }

    // The hook in force, or null.
    static MessageBoxHook* current();
    // Records the request and returns its answer.
    int take(const MessageBoxRequest& request);

private:
    QList<int> m_answers;
    QList<MessageBoxRequest> m_requests;
    int m_defaultAnswer;
    MessageBoxHook* m_previous;
};

} // namespace mailvane::widgets
