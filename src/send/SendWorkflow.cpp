#include "SendWorkflow.h"

#include "BlockingCall.h"
#include "ChooseRecipientsDialog.h"
#include "OutcomeReport.h"
#include "PhoneLink.h"
#include "PinDialog.h"
#include "Recipients.h"
#include "RecipientsField.h"
#include "SendDialog.h"
#include "SendingLoop.h"
#include "SkinMessageBox.h"
#include "UiText.h"
#include "WaitDialog.h"

#include <cstdio>

namespace mailvane::send {
namespace {

using namespace settings::strings;
using widgets::SkinMessageBox;

constexpr unsigned Warning = SkinMessageBox::MbOk | SkinMessageBox::MbIconExclamation;

// Marks a command as running for as long as it is in scope.
class BusyScope
{
public:
    explicit BusyScope(bool& busy) : m_busy(busy) { m_busy = true; }
    ~BusyScope() { m_busy = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& m_busy;
};

std::string latin1(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

std::string utf8(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The window program's terminal gets every failure as one line, so that a
// person who started it from one can keep or copy it.
void tellTerminal(const std::string& line)
{
    std::fprintf(stderr, "mailvane: %s\n", line.c_str());
    std::fflush(stderr);
}

} // namespace

OutcomeMessage outcomeMessage(const phone::SendingOutcome& outcome)
{
    const OutcomeReport report = reportOutcome(outcome);
    return {widgets::uiText(report.caption), fromUtf8(report.text),
            report.warning ? Warning : unsigned(SkinMessageBox::MbOk)};
}

SendWorkflow::SendWorkflow(QWidget* window, const platform::LibraryHandle& skin,
                           settings::EmailSettings& record, phone::PhoneLink& link)
    : m_window(window), m_skin(skin), m_record(record), m_link(link)
{}

SendWorkflow::Stop SendWorkflow::send(const QString& field)
{
    if (m_busy)
        return Stop::Elsewhere;
    const BusyScope busy(m_busy);

    // The field is read whole and every piece must be a number that can be
    // dialled: a piece that is not stops the command before anything is
    // asked, let alone sent. A field without any number in it is as good as
    // an empty one: sending to nobody is not a success to report.
    const settings::RecipientList recipients = settings::parseRecipients(utf8(field));
    if (recipients.invalidPiece) {
        const std::string message = settings::invalidNumberMessage(*recipients.invalidPiece);
        tellTerminal(message);
        showMessage({widgets::uiText(RecipientsInvalidCaption), fromUtf8(message), Warning});
        return Stop::AtRecipients;
    }
    const std::vector<std::string>& numbers = recipients.numbers;
    if (numbers.empty()) {
        showMessage({widgets::uiText(RecipientsMissingCaption),
                     widgets::uiText(NoRecipientsMessage), Warning});
        return Stop::AtRecipients;
    }

    PinDialog pinDialog(m_skin, m_window);
    if (pinDialog.exec() != QDialog::Accepted || pinDialog.pin().isEmpty())
        return Stop::Elsewhere;

    // The Send dialog lists the numbers as they will be dialled.
    std::string shown;
    for (const std::string& number : numbers)
        shown += (shown.empty() ? "" : ";") + number;
    m_record.to = std::move(shown);
    {
        SendDialog confirmation(m_window, m_skin, m_record);
        if (confirmation.exec() != QDialog::Accepted) {
            m_record.to.reset();
            return Stop::Elsewhere;
        }
    }

    const phone::SendingOutcome outcome = deliver(numbers, pinDialog.pin());
    m_record.to.reset();
    if (!outcome.sent)
        tellTerminal(outcomeLine(outcome));
    showMessage(outcomeMessage(outcome));
    return Stop::Elsewhere;
}

phone::SendingOutcome SendWorkflow::deliver(const std::vector<std::string>& numbers,
                                            const QString& pin)
{
    m_link.setSettings(&m_record);
    // Made once and kept (the window owns it): painting its frame means
    // loading the skin's large background, which would otherwise be paid
    // on every send.
    if (!m_wait)
        m_wait = new WaitDialog(m_skin, m_window);
    WaitDialog& wait = *m_wait;
    wait.setProgressText(QString());
    wait.setProgress(0, 0);
    wait.show();

    // Both callbacks run on the worker; what they show is posted to the wait
    // dialog, which outlives the call.
    std::size_t recipient = 0;
    const auto post = [&wait](auto update) {
        QMetaObject::invokeMethod(&wait, std::move(update), Qt::QueuedConnection);
    };
    m_link.setMessageProgress([&](unsigned message, unsigned count) {
        const int total = int(count * numbers.size());
        const int done = int((recipient - 1) * count + message - 1);
        post([&wait, done, total] { wait.setProgress(done, total); });
    });
    const auto onRecipient = [&](std::size_t index, std::size_t count, const std::string& number) {
        recipient = index;
        const QString line = widgets::uiText(SendingProgress)
                                 .arg(QString::fromLatin1(number.data(), qsizetype(number.size())))
                                 .arg(index)
                                 .arg(count);
        post([&wait, line] { wait.setProgressText(line); });
    };

    const std::string pinText = latin1(pin);
    phone::SendingOutcome outcome;
    runBlockingCall([&] {
        outcome = phone::sendToRecipients(m_link, m_record, numbers, pinText, onRecipient);
    });
    m_link.setMessageProgress({});
    wait.hide();
    return outcome;
}

std::optional<QString> SendWorkflow::chooseRecipients(const QString& field)
{
    if (m_busy)
        return std::nullopt;
    const BusyScope busy(m_busy);
    ChooseRecipientsDialog dialog(m_window, m_skin, m_link);
    if (dialog.exec() != QDialog::Accepted || dialog.result().isEmpty())
        return std::nullopt;
    return appendChosenRecipients(field, dialog.result());
}

WaitDialog* SendWorkflow::waitDialog() const
{
    return m_wait.data();
}

void SendWorkflow::showMessage(const OutcomeMessage& message)
{
    SkinMessageBox::show(m_window, message.text, message.caption, message.flags);
}

} // namespace mailvane::send
