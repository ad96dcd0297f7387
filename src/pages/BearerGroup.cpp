#include "BearerGroup.h"

#include "AccessibleNames.h"
#include "FieldAccess.h"
#include "RadioButton.h"
#include "SettingsPage.h"

#include <QBoxLayout>
#include <QByteArray>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace mailvane::pages {

namespace strings = settings::strings;
namespace values = settings::values;

bool BearerGroup::s_clearingGuard = true;

BearerGroup::BearerGroup(SettingsPage& page, QBoxLayout* column, const Controls& ids,
                         const Texts& texts, settings::GroupField addressField,
                         settings::ConnectionSettings& group, Extras extras)
    : m_addressField(addressField), m_group(group), m_emptyExtras(std::move(extras.empty))
{
    const auto own = [&texts](const char* suffix) {
        return QByteArray(texts.prefix) + suffix;
    };
    const auto address = [&texts](const char* suffix) {
        return QByteArray(texts.addressName) + suffix;
    };
    m_box = page.makeGroupBox(ids.group, texts.title, own("Group").constData());
    auto* grid = new QGridLayout(m_box);
    grid->setColumnStretch(2, 1);
    // Made in tab order.
    QLabel* addressLabel =
        page.makeLabel(ids.addressLabel, texts.address, address("Label").constData());
    m_addressMark = page.makeMark(ids.addressMark, address("Mark").constData());
    m_addressEdit = page.makeEdit(ids.addressEdit, address("Edit").constData());
    QLabel* authLabel = page.makeLabel(ids.authenticationLabel, strings::AuthenticationType,
                                       own("AuthenticationLabel").constData());
    m_authenticationMark =
        page.makeMark(ids.authenticationMark, own("AuthenticationMark").constData());
    m_normalRadio =
        page.makeRadio(ids.normalRadio, strings::Normal, own("NormalRadio").constData());
    m_secureRadio =
        page.makeRadio(ids.secureRadio, strings::Secure, own("SecureRadio").constData());
    const std::vector<ExtraRow> extraRows = extras.make ? extras.make() : std::vector<ExtraRow>{};
    QLabel* userLabel =
        page.makeLabel(ids.userNameLabel, strings::UserName, own("UserNameLabel").constData());
    m_userNameEdit = page.makeEdit(ids.userNameEdit, own("UserNameEdit").constData());
    QLabel* passwordLabel =
        page.makeLabel(ids.passwordLabel, strings::Password, own("PasswordLabel").constData());
    m_passwordEdit = page.makePasswordEdit(ids.passwordEdit, own("PasswordEdit").constData());

    grid->addWidget(addressLabel, 0, 0);
    grid->addWidget(m_addressMark, 0, 1);
    grid->addWidget(m_addressEdit, 0, 2);
    grid->addWidget(authLabel, 1, 0);
    grid->addWidget(m_authenticationMark, 1, 1);
    grid->addLayout(SettingsPage::pairRow(m_normalRadio, m_secureRadio), 1, 2);
    widgets::describeAfterLabel({m_normalRadio, m_secureRadio}, authLabel);
    page.markControls(m_addressMark, {m_addressEdit});
    page.markControls(m_authenticationMark, {m_normalRadio, m_secureRadio});

    std::vector<QWidget*> labels = {addressLabel, authLabel};
    std::vector<QWidget*> fields = {m_addressEdit};
    m_radios = {m_normalRadio, m_secureRadio};
    int row = 2;
    for (const ExtraRow& extra : extraRows) {
        grid->addWidget(extra.label, row, 0);
        if (extra.control) {
            grid->addWidget(extra.control, row, 2);
            widgets::nameAfterLabel(extra.control, extra.label);
            fields.push_back(extra.control);
        } else {
            grid->addLayout(SettingsPage::pairRow(extra.first, extra.second), row, 2);
            widgets::describeAfterLabel({extra.first, extra.second}, extra.label);
            m_radios.insert(m_radios.end(), {extra.first, extra.second});
        }
        labels.push_back(extra.label);
        ++row;
    }
    grid->addWidget(userLabel, row, 0);
    grid->addWidget(m_userNameEdit, row, 2);
    grid->addWidget(passwordLabel, row + 1, 0);
    grid->addWidget(m_passwordEdit, row + 1, 2);
    widgets::nameAfterLabel(m_addressEdit, addressLabel);
    widgets::nameAfterLabel(m_userNameEdit, userLabel);
    widgets::nameAfterLabel(m_passwordEdit, passwordLabel);

    labels.insert(labels.end(), {userLabel, passwordLabel});
    fields.insert(fields.end(), {m_userNameEdit, m_passwordEdit});
    m_controls = std::move(labels);
    m_controls.insert(m_controls.end(), fields.begin(), fields.end());
    m_controls.insert(m_controls.end(), m_radios.begin(), m_radios.end());
    column->addWidget(m_box);

    for (QWidget* w : m_controls)
        w->setEnabled(false);
    m_box->setEnabled(false);
}

void BearerGroup::enable(bool on)
{
    m_box->setEnabled(on);
    for (QWidget* w : m_controls)
        w->setEnabled(on);
    if (on)
        return;
    m_addressEdit->clear();
    if (m_emptyExtras)
        m_emptyExtras();
    s_clearingGuard = false;
    m_userNameEdit->clear();
    m_passwordEdit->clear();
    s_clearingGuard = true;
    for (widgets::RadioButton* radio : m_radios)
        radio->setChecked(false);
    clearField(m_addressField, m_group);
}

void BearerGroup::show()
{
    s_clearingGuard = false;
    SettingsPage::showText(m_userNameEdit, m_group.bearerUsername);
    SettingsPage::showText(m_passwordEdit, m_group.bearerPassword);
    s_clearingGuard = true;
    const std::optional<int> authentication = settings::numberValue(
        settings::groupFieldInfo(settings::GroupField::BearerAuthenticationType), m_group);
    m_normalRadio->setChecked(authentication == values::Normal);
    m_secureRadio->setChecked(authentication == values::Secure);
    SettingsPage::showText(m_addressEdit,
                           settings::textValue(settings::groupFieldInfo(m_addressField), m_group));
}

} // namespace mailvane::pages
