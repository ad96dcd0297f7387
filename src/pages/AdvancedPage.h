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
    static constexpr int TemplateId = 131;

    // The numbers help tables and tests name the page's controls by.
    enum Control : int
    {
        SmtpUserNameEdit = 1001,
        SmtpPasswordEdit = 1002,
        OutgoingPortEdit = 1003,
        IncomingPortEdit = 1004,
        RetrieveEmailsEdit = 1006,
        SmtpAuthYesRadio = 1010,
        SmtpAuthNoRadio = 1011,
        ReplyToEdit = 1012,
        LatestRadio = 1013,
        LatestUnreadRadio = 1014,
        SecureLoginYesRadio = 1015,
        SecureLoginNoRadio = 1016,
        IncomingPortLabel = 1029,
        SecureLoginLabel = 1031,
        RetrievalMethodLabel = 1033,
        SmtpAuthLabel = 1064,
        SmtpUserNameLabel = 1065,
        SmtpPasswordLabel = 1066,
        OutgoingPortLabel = 1067,
        ReplyToLabel = 1068,
        RetrieveEmailsLabel = 1069,
    };

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
    void showFlag(widgets::RadioButton* yes, widgets::RadioButton* no,
                  const settings::FlagField& flag);

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
    widgets::RadioButton* m_smtpYesRadio;
    widgets::RadioButton* m_smtpNoRadio;
    widgets::RadioButton* m_latestRadio;
    widgets::RadioButton* m_latestUnreadRadio;
    widgets::RadioButton* m_secureYesRadio;
    widgets::RadioButton* m_secureNoRadio;
};

} // namespace mailvane::pages
