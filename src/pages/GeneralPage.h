#pragma once

// The " General " tab: mailbox name and address, the outgoing server, the
// incoming server with its type, user name and password. Keeps the incoming
// port in step with the server type and shows the servers' mandatory marks.

#include "SettingsPage.h"

namespace mailvane::pages {

class GeneralPage : public SettingsPage
{
    Q_OBJECT

public:
    static constexpr int TemplateId = 130;

    // The numbers help tables and tests name the page's controls by.
    enum Control : int
    {
        MailboxEdit = 1001,
        EmailAddressEdit = 1002,
        OutgoingServerEdit = 1004,
        Pop3Radio = 1005,
        IncomingServerEdit = 1006,
        UserNameEdit = 1007,
        PasswordEdit = 1008,
        Imap4Radio = 1009,
        MailboxLabel = 1055,
        EmailAddressLabel = 1057,
        OutgoingServerLabel = 1058,
        ServerTypeLabel = 1059,
        IncomingServerLabel = 1060,
        UserNameLabel = 1061,
        PasswordLabel = 1062,
        OutgoingServerMark = 1093,
        IncomingServerMark = 1094,
        MandatoryNote = 1098,
    };

    explicit GeneralPage(settings::EmailSettings& record, QWidget* parent = nullptr);

    settings::StringId helpFor(int control) const override;

protected:
    void createPage() override;
    void fill() override;
    void activate() override;

private:
    // The server type rules: `pop3` false selects IMAP4.
    void selectServerType(bool pop3);
    void onServerTypeClicked(bool pop3);
    void updateMarks();

    settings::EmailSettings& m_record;
    QLineEdit* m_mailboxEdit;
    QLineEdit* m_addressEdit;
    QLineEdit* m_outgoingServerEdit;
    QLineEdit* m_incomingServerEdit;
    QLineEdit* m_userNameEdit;
    QLineEdit* m_passwordEdit;
    widgets::RadioButton* m_pop3Radio;
    widgets::RadioButton* m_imap4Radio;
    QLabel* m_outgoingServerMark;
    QLabel* m_incomingServerMark;
};

} // namespace mailvane::pages
