#pragma once

// One data bearer's group box on the connection page: the address row (the
// access point or the dial-up number), the authentication pair, any rows the
// bearer adds, the user name and the password. The group switches its
// controls on and off and empties them when the bearer is not chosen.
//
// The controls are children of the page, made in tab order, so that the
// page's help and tests find them by number.

#include "SettingsFields.h"

#include <functional>
#include <vector>

class QBoxLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace mailvane::widgets {
class RadioButton;
}

namespace mailvane::pages {

class SettingsPage;

class BearerGroup
{
public:
    // The numbers of the group's controls.
    struct Controls
    {
        int group;
        int addressLabel;
        int addressMark;
        int addressEdit;
        int authenticationLabel;
        int authenticationMark;
        int normalRadio;
        int secureRadio;
        int userNameLabel;
        int userNameEdit;
        int passwordLabel;
        int passwordEdit;
    };

    // What the group shows and the names its controls go by: `prefix` starts
    // the names of the group's own controls ("gprs": "gprsGroup",
    // "gprsUserNameEdit"...), `address` those of the address row.
    struct Texts
    {
        settings::StringId title;
        settings::StringId address;
        const char* prefix;
        const char* addressName;
    };

    // A row a bearer adds after the authentication pair: one control named
    // after its label, or else a pair of radio buttons the label describes.
    struct ExtraRow
    {
        QLabel* label;
        QWidget* control = nullptr;
        widgets::RadioButton* first = nullptr;
        widgets::RadioButton* second = nullptr;
    };

    struct Extras
    {
        // Makes the rows' controls, in tab order.
        std::function<std::vector<ExtraRow>()> make;
        // Empties the rows' controls and fields other than radio buttons.
        std::function<void()> empty;
    };

    // Makes the group's controls on `page`, the group's box last in `column`.
    // The group starts off.
    BearerGroup(SettingsPage& page, QBoxLayout* column, const Controls& controls,
                const Texts& texts, settings::GroupField addressField,
                settings::ConnectionSettings& group, Extras extras = {});

    // Turning the group off empties its controls and its address field; the
    // shared login fields stay as they are.
    void enable(bool on);

    // Shows the group's login, authentication type and address, for the
    // chosen bearer. An absent user name or password is shown empty without
    // being stored.
    void show();

    // Off while the group's login edits are emptied or filled: the user name
    // and password fields are shared by both groups, and an emptied edit of
    // one group must not empty what the other shows.
    static bool clearingGuard() { return s_clearingGuard; }

    QLineEdit* addressEdit() const { return m_addressEdit; }
    QLineEdit* userNameEdit() const { return m_userNameEdit; }
    QLineEdit* passwordEdit() const { return m_passwordEdit; }
    widgets::RadioButton* normalRadio() const { return m_normalRadio; }
    widgets::RadioButton* secureRadio() const { return m_secureRadio; }
    QLabel* addressMark() const { return m_addressMark; }
    QLabel* authenticationMark() const { return m_authenticationMark; }

private:
    settings::GroupField m_addressField;
    settings::ConnectionSettings& m_group;
    std::function<void()> m_emptyExtras;

    QGroupBox* m_box;
    QLabel* m_addressMark;
    QLineEdit* m_addressEdit;
    QLabel* m_authenticationMark;
    widgets::RadioButton* m_normalRadio;
    widgets::RadioButton* m_secureRadio;
    QLineEdit* m_userNameEdit;
    QLineEdit* m_passwordEdit;
    // Every labelled control, switched on and off with the box.
    std::vector<QWidget*> m_controls;
    // The radio buttons emptied when the group turns off.
    std::vector<widgets::RadioButton*> m_radios;

    static bool s_clearingGuard;
};

} // namespace mailvane::pages
