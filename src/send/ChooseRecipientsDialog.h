#pragma once

// Lets the operator pick recipients from the attached phone's contacts: the
// contacts are read each time the dialog opens (under the wait dialog), and
// rows move between the Contacts and Recipients lists, never copied. The
// result is the chosen numbers as "num;num;...", names dropped.

#include "SkinDialog.h"

#include <memory>

class QLabel;
class QTreeWidget;

namespace mailvane::widgets {
class SkinButton;
}

namespace mailvane::phone {
class PhoneLink;
}

namespace mailvane::send {

class ChooseRecipientsDialog : public widgets::SkinDialog
{
    Q_OBJECT

public:
    static constexpr int TemplateId = 135;

    enum Control : int
    {
        OkButton = 1,
        CancelButton = 2,
        AddButton = 1024,
        ContactsList = 1026,
        RecipientsList = 1027,
        ContactsLabel = 1052,
        RecipientsLabel = 1053,
        ContactsNotice = 1054, // says why contacts are missing, when they are
    };

    enum Column : int
    {
        NameColumn = 0,
        NumberColumn = 1,
    };

    ChooseRecipientsDialog(QWidget* parent, const platform::LibraryHandle& skin,
                           phone::PhoneLink& link);
    ~ChooseRecipientsDialog() override;

    // Reads the contacts and runs the dialog; the contacts are read before
    // the dialog appears, under the wait dialog.
    int exec() override;

    // Reads the phone's contacts into the Contacts list (done by exec()). A
    // store that could not be listed is named below the list, with why.
    void loadContacts();

    // The chosen numbers, each followed by ";"; empty unless the dialog
    // ended with OK and recipients were chosen.
    QString result() const { return m_result; }

    QTreeWidget* contactsList() const { return m_contacts; }
    QTreeWidget* recipientsList() const { return m_recipients; }

    // Moves the selected rows of the Contacts list to the top of the
    // Recipients list (the add button), or back (Delete in the Recipients
    // list).
    void addSelected();
    void removeSelected();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onOk();

    phone::PhoneLink& m_link;
    platform::LibraryHandle m_skin;
    QTreeWidget* m_contacts = nullptr;
    QTreeWidget* m_recipients = nullptr;
    QLabel* m_notice = nullptr;
    std::unique_ptr<widgets::SkinButton> m_addButton;
    std::unique_ptr<widgets::SkinButton> m_okButton;
    std::unique_ptr<widgets::SkinButton> m_cancelButton;
    QString m_result;
};

} // namespace mailvane::send
