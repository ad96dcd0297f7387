#pragma once

// The two commands of the main window that reach the phone: Send (PIN, the
// confirmation, one push per number under the wait dialog, one message with
// the outcome) and choosing recipients from the phone's contacts. The main
// window owns the record and the PhoneLink; the workflow borrows them.

#include "EmailSettings.h"
#include "ResourceLibrary.h"

#include <QPointer>
#include <QString>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace mailvane::phone {
class PhoneLink;
struct SendingOutcome;
} // namespace mailvane::phone

namespace mailvane::send {

class WaitDialog;

// The message that reports an outcome: caption, text and message-box flags.
struct OutcomeMessage
{
    QString caption;
    QString text;
    unsigned flags = 0;
};
OutcomeMessage outcomeMessage(const phone::SendingOutcome& outcome);

class SendWorkflow
{
public:
    // `window` owns the message boxes and the dialogs; all must outlive the
    // workflow.
    SendWorkflow(QWidget* window, const platform::LibraryHandle& skin,
                 settings::EmailSettings& record, phone::PhoneLink& link);

    // The Send command for the recipients field's text, read whole. A piece
    // that is not a phone number stops it before the PIN. Reports every
    // outcome in a message box, and every failure on stderr too; cancelling a
    // dialog ends it silently. Says whether it stopped at the field, which
    // the operator then has to mend.
    enum class Stop
    {
        Elsewhere,
        AtRecipients,
    };
    Stop send(const QString& field);

    // The Choose Recipients command: the field's new text, or nothing when it
    // stays as it is.
    std::optional<QString> chooseRecipients(const QString& field);

    // True while a command runs; a second command asked for meanwhile (which
    // the modal dialogs should make impossible) is ignored.
    bool busy() const { return m_busy; }

    // What Send does once the operator has confirmed: one push per number,
    // in order, under the wait dialog, stopping at the first failure; the
    // outcome is returned, not shown. `To` is absent afterwards.
    phone::SendingOutcome deliver(const std::vector<std::string>& numbers, const QString& pin);

    // The wait dialog of the sends, or null before the first.
    WaitDialog* waitDialog() const;

private:
    void showMessage(const OutcomeMessage& message);

    QWidget* m_window;
    platform::LibraryHandle m_skin;
    settings::EmailSettings& m_record;
    phone::PhoneLink& m_link;
    bool m_busy = false;
    QPointer<WaitDialog> m_wait;
};

} // namespace mailvane::send
