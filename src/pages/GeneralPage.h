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
    app::RadioButton* m_pop3Radio;
    app::RadioButton* m_imap4Radio;
    QLabel* m_outgoingServerMark;
    QLabel* m_incomingServerMark;
};

} // namespace mailvane::pages
