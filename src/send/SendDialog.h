#pragma once

// Shows whom the settings go to and all of the settings, warns that a push
// costs several text messages, and asks for confirmation.

#include "EmailSettings.h"
#include "SkinDialog.h"

#include <QStringList>
#include <memory>

class QPlainTextEdit;

namespace mailvane::widgets {
class SkinButton;
}

namespace mailvane::send {

// The recipients box's text for the record's `To` text (the Send command
// puts the numbers there as they will be dialled, joined by ";"): a line per
// ";"-separated piece, its leading white space removed; the piece after the
// last ";" only when it is not empty. Blanks inside a piece stay.
QString recipientsBoxText(const QString& recipients);

class SendDialog : public widgets::SkinDialog
{
    Q_OBJECT

public:
    static constexpr int TemplateId = 134;

    enum Control : int
    {
        SendButton = 1,
        CancelButton = 2,
        RecipientsBox = 1001,
        SettingsBox = 1002,
        RecipientsLabel = 1053,
        SettingsLabel = 1054,
        CostWarning = 1080,
    };

    // Shows `record` with its `To` field as the recipients; the record is
    // only read, and must outlive the dialog.
    SendDialog(QWidget* parent, const platform::LibraryHandle& skin,
               const settings::EmailSettings& record);
    ~SendDialog() override;

    QPlainTextEdit* recipientsBox() const { return m_recipientsBox; }
    QPlainTextEdit* settingsBox() const { return m_settingsBox; }

private:

    QPlainTextEdit* m_recipientsBox = nullptr;
    QPlainTextEdit* m_settingsBox = nullptr;
    std::unique_ptr<widgets::SkinButton> m_sendButton;
    std::unique_ptr<widgets::SkinButton> m_cancelButton;
};

} // namespace mailvane::send
