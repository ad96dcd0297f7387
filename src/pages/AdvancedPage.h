#pragma once

// The " Advanced " tab: SMTP authentication, both ports, the reply-to
// address and the retrieval options, whose availability follows the server
// type chosen on the General page.

#include "SettingsPage.h"

namespace mailvane::pages {

class AdvancedPage : public SettingsPage
{
    Q_OBJECT

public:
    explicit AdvancedPage(settings::EmailSettings& record, QWidget* parent = nullptr);

    settings::StringId helpFor(int control) const override;

protected:
    void createPage() override;
    void fill() override;
    void activate() override;

private:
    void setSmtpAuthorization(bool yes);
    void enableSmtpLogin(bool on);
    // A yes/no pair showing a flag: neither button for an absent one.
    void showFlag(app::RadioButton* yes, app::RadioButton* no, const settings::FlagField& flag);

    settings::EmailSettings& m_record;
    QLineEdit* m_smtpUserNameEdit;
    QLineEdit* m_smtpPasswordEdit;
    QLineEdit* m_outgoingPortEdit;
    QLineEdit* m_incomingPortEdit;
    QLineEdit* m_replyToEdit;
    QLineEdit* m_retrieveEmailsEdit;
    QLabel* m_smtpUserNameLabel;
    QLabel* m_smtpPasswordLabel;
    QLabel* m_incomingPortLabel;
    QLabel* m_retrievalMethodLabel;
    QLabel* m_secureLoginLabel;
    app::RadioButton* m_smtpYesRadio;
    app::RadioButton* m_smtpNoRadio;
    app::RadioButton* m_latestRadio;
    app::RadioButton* m_latestUnreadRadio;
    app::RadioButton* m_secureYesRadio;
    app::RadioButton* m_secureNoRadio;
};

} // namespace mailvane::pages
