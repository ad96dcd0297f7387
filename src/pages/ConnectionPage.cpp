#include "ConnectionPage.h"

#include "AccessibleNames.h"
#include "ControlIds.h"
#include "FieldAccess.h"
#include "RadioButton.h"
#include "SettingsFields.h"
#include "UiText.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <array>

namespace mailvane::pages {

namespace strings = settings::strings;
using ids = ConnectionPage;
namespace values = settings::values;
using settings::GroupField;
using widgets::uiText;

bool ConnectionPage::s_clearingGuard = true;

namespace {

constexpr std::array<settings::StringId, 3> CallSpeedItems = {
    strings::AutoBauding, strings::Speed9600, strings::Speed14400};

const widgets::HelpEntry HelpTable[] = {
    {{ids::ProxyGroup}, 107},
    {{ids::ProxiesYesRadio, ids::ProxiesNoRadio, ids::ProxiesLabel}, 108},
    {{ids::PrimaryProxyEdit, ids::PrimaryProxyLabel}, 109},
    {{ids::PrimaryProxyPortEdit, ids::PrimaryProxyPortLabel}, 110},
    {{ids::SecondaryProxyEdit, ids::SecondaryProxyLabel}, 111},
    {{ids::SecondaryProxyPortEdit, ids::SecondaryProxyPortLabel}, 112},
    {{ids::GprsRadio, ids::GsmDataRadio, ids::DataBearerLabel}, 113},
    {{ids::GprsGroup}, 114},
    {{ids::AccessPointEdit, ids::AccessPointLabel}, 115},
    {{ids::GprsNormalRadio, ids::GprsSecureRadio, ids::GprsAuthenticationLabel}, 116},
    {{ids::GprsUserNameEdit, ids::GprsUserNameLabel}, 117},
    {{ids::GprsPasswordEdit, ids::GprsPasswordLabel}, 118},
    {{ids::GsmGroup}, 119},
    {{ids::DialUpNumberEdit, ids::DialUpNumberLabel}, 120},
    {{ids::GsmNormalRadio, ids::GsmSecureRadio, ids::GsmAuthenticationLabel}, 121},
    {{ids::AnalogRadio, ids::IsdnRadio, ids::CallTypeLabel}, 122},
    {{ids::CallSpeedLabel, ids::CallSpeedCombo}, 123},
    {{ids::GsmUserNameEdit, ids::GsmUserNameLabel}, 124},
    {{ids::GsmPasswordEdit, ids::GsmPasswordLabel}, 125},
};

QHBoxLayout* pairRow(QWidget* first, QWidget* second)
{
    auto* pair = new QHBoxLayout;
    pair->addWidget(first);
    pair->addSpacing(12);
    pair->addWidget(second);
    pair->addStretch(1);
    return pair;
}

QGroupBox* makeGroup(QWidget* parent, int control, settings::StringId title, const char* name)
{
    auto* box = new QGroupBox(uiText(title), parent);
    widgets::setControlId(box, control);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

} // namespace

ConnectionPage::ConnectionPage(settings::ConnectionSettings& group, QWidget* parent)
    : SettingsPage(TemplateId, parent), m_group(group)
{
    setObjectName(QStringLiteral("connectionPage"));
    auto* column = new QVBoxLayout(this);
    buildProxyGroup(column);
    buildBearerRow(column);
    auto* bearers = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    buildGprsGroup(left);
    buildGsmGroup(right);
    left->addStretch(1);
    bearers->addLayout(left, 1);
    bearers->addLayout(right, 1);
    column->addLayout(bearers);
    column->addStretch(1);

    for (const auto* controls : {&m_proxyControls, &m_gprsControls, &m_gsmControls}) {
        for (QWidget* w : *controls)
            w->setEnabled(false);
    }
    m_gprsBox->setEnabled(false);
    m_gsmBox->setEnabled(false);
    bindEdits();
    connectButtons();
}

void ConnectionPage::buildProxyGroup(QVBoxLayout* column)
{
    m_proxyBox = makeGroup(this, ids::ProxyGroup, strings::Proxy, "proxyGroup");
    auto* grid = new QGridLayout(m_proxyBox);
    grid->setColumnStretch(2, 3);
    grid->setColumnStretch(4, 1);
    grid->setColumnMinimumWidth(3, 0);

    QLabel* proxiesLabel = makeLabel(ids::ProxiesLabel, strings::Proxies, "proxiesLabel");
    m_proxiesYesRadio = makeRadio(ids::ProxiesYesRadio, strings::Yes, "proxiesYesRadio");
    m_proxiesNoRadio = makeRadio(ids::ProxiesNoRadio, strings::No, "proxiesNoRadio");
    grid->addWidget(proxiesLabel, 0, 0);
    grid->addLayout(pairRow(m_proxiesYesRadio, m_proxiesNoRadio), 0, 2);
    widgets::describeAfterLabel({m_proxiesYesRadio, m_proxiesNoRadio}, proxiesLabel);

    const auto addProxy = [&](int row, int labelId, settings::StringId labelText,
                              const char* labelName, QLabel* mark, QLineEdit* edit, int portLabelId,
                              settings::StringId portText, const char* portName,
                              QLineEdit* portEdit) {
        QLabel* label = makeLabel(labelId, labelText, labelName);
        QLabel* portLabel = makeLabel(portLabelId, portText, portName);
        grid->addWidget(label, row, 0);
        grid->addWidget(mark, row, 1);
        grid->addWidget(edit, row, 2);
        grid->addWidget(portLabel, row, 3);
        grid->addWidget(portEdit, row, 4);
        widgets::nameAfterLabel(edit, label);
        widgets::nameAfterLabel(portEdit, portLabel);
        m_proxyControls.insert(m_proxyControls.end(), {label, edit, portLabel, portEdit});
    };
    m_primaryProxyMark = makeMark(ids::PrimaryProxyMark, "primaryProxyMark");
    m_primaryProxyEdit = makeEdit(ids::PrimaryProxyEdit, "primaryProxyEdit");
    m_primaryPortEdit = makeEdit(ids::PrimaryProxyPortEdit, "primaryProxyPortEdit", true);
    addProxy(1, ids::PrimaryProxyLabel, strings::PrimaryProxy, "primaryProxyLabel",
             m_primaryProxyMark, m_primaryProxyEdit, ids::PrimaryProxyPortLabel,
             strings::PrimaryProxyPort, "primaryProxyPortLabel", m_primaryPortEdit);
    m_secondaryProxyMark = makeMark(ids::SecondaryProxyMark, "secondaryProxyMark");
    m_secondaryProxyEdit = makeEdit(ids::SecondaryProxyEdit, "secondaryProxyEdit");
    m_secondaryPortEdit = makeEdit(ids::SecondaryProxyPortEdit, "secondaryProxyPortEdit", true);
    addProxy(2, ids::SecondaryProxyLabel, strings::SecondaryProxy, "secondaryProxyLabel",
             m_secondaryProxyMark, m_secondaryProxyEdit, ids::SecondaryProxyPortLabel,
             strings::SecondaryProxyPort, "secondaryProxyPortLabel", m_secondaryPortEdit);
    for (QLineEdit* port : {m_primaryPortEdit, m_secondaryPortEdit})
        port->setMaximumWidth(port->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 8 + 16);
    // The marks sit in the page's tree for help and tests; the group only lays them out.
    column->addWidget(m_proxyBox);
}

void ConnectionPage::buildBearerRow(QVBoxLayout* column)
{
    auto* row = new QHBoxLayout;
    QLabel* label = makeLabel(ids::DataBearerLabel, strings::DataBearer, "dataBearerLabel");
    m_bearerMark = makeMark(ids::DataBearerMark, "dataBearerMark");
    m_gprsRadio = makeRadio(ids::GprsRadio, strings::Gprs, "gprsRadio");
    m_gsmRadio = makeRadio(ids::GsmDataRadio, strings::GsmData, "gsmDataRadio");
    row->setContentsMargins(9, 4, 9, 4);
    row->addWidget(label);
    row->addWidget(m_bearerMark);
    row->addSpacing(8);
    row->addLayout(pairRow(m_gprsRadio, m_gsmRadio), 1);
    widgets::describeAfterLabel({m_gprsRadio, m_gsmRadio}, label);
    column->addLayout(row);
}

void ConnectionPage::buildGprsGroup(QVBoxLayout* column)
{
    m_gprsBox = makeGroup(this, ids::GprsGroup, strings::Gprs, "gprsGroup");
    auto* grid = new QGridLayout(m_gprsBox);
    grid->setColumnStretch(2, 1);
    QLabel* accessLabel =
        makeLabel(ids::AccessPointLabel, strings::AccessPoint, "accessPointLabel");
    m_accessPointMark = makeMark(ids::AccessPointMark, "accessPointMark");
    m_accessPointEdit = makeEdit(ids::AccessPointEdit, "accessPointEdit");
    QLabel* authLabel = makeLabel(ids::GprsAuthenticationLabel, strings::AuthenticationType,
                                  "gprsAuthenticationLabel");
    m_gprsAuthMark = makeMark(ids::GprsAuthenticationMark, "gprsAuthenticationMark");
    m_gprsNormalRadio = makeRadio(ids::GprsNormalRadio, strings::Normal, "gprsNormalRadio");
    m_gprsSecureRadio = makeRadio(ids::GprsSecureRadio, strings::Secure, "gprsSecureRadio");
    QLabel* userLabel = makeLabel(ids::GprsUserNameLabel, strings::UserName, "gprsUserNameLabel");
    m_gprsUserEdit = makeEdit(ids::GprsUserNameEdit, "gprsUserNameEdit");
    QLabel* passwordLabel =
        makeLabel(ids::GprsPasswordLabel, strings::Password, "gprsPasswordLabel");
    m_gprsPasswordEdit = makePasswordEdit(ids::GprsPasswordEdit, "gprsPasswordEdit");

    grid->addWidget(accessLabel, 0, 0);
    grid->addWidget(m_accessPointMark, 0, 1);
    grid->addWidget(m_accessPointEdit, 0, 2);
    grid->addWidget(authLabel, 1, 0);
    grid->addWidget(m_gprsAuthMark, 1, 1);
    grid->addLayout(pairRow(m_gprsNormalRadio, m_gprsSecureRadio), 1, 2);
    widgets::describeAfterLabel({m_gprsNormalRadio, m_gprsSecureRadio}, authLabel);
    grid->addWidget(userLabel, 2, 0);
    grid->addWidget(m_gprsUserEdit, 2, 2);
    grid->addWidget(passwordLabel, 3, 0);
    grid->addWidget(m_gprsPasswordEdit, 3, 2);
    widgets::nameAfterLabel(m_accessPointEdit, accessLabel);
    widgets::nameAfterLabel(m_gprsUserEdit, userLabel);
    widgets::nameAfterLabel(m_gprsPasswordEdit, passwordLabel);
    m_gprsControls = {accessLabel,        authLabel,         userLabel,
                      passwordLabel,      m_accessPointEdit, m_gprsUserEdit,
                      m_gprsPasswordEdit, m_gprsNormalRadio, m_gprsSecureRadio};
    column->addWidget(m_gprsBox);
}

void ConnectionPage::buildGsmGroup(QVBoxLayout* column)
{
    m_gsmBox = makeGroup(this, ids::GsmGroup, strings::GsmData, "gsmGroup");
    auto* grid = new QGridLayout(m_gsmBox);
    grid->setColumnStretch(2, 1);
    QLabel* dialLabel =
        makeLabel(ids::DialUpNumberLabel, strings::DialUpNumber, "dialUpNumberLabel");
    m_dialUpMark = makeMark(ids::DialUpNumberMark, "dialUpNumberMark");
    m_dialUpEdit = makeEdit(ids::DialUpNumberEdit, "dialUpNumberEdit");
    QLabel* authLabel = makeLabel(ids::GsmAuthenticationLabel, strings::AuthenticationType,
                                  "gsmAuthenticationLabel");
    m_gsmAuthMark = makeMark(ids::GsmAuthenticationMark, "gsmAuthenticationMark");
    m_gsmNormalRadio = makeRadio(ids::GsmNormalRadio, strings::Normal, "gsmNormalRadio");
    m_gsmSecureRadio = makeRadio(ids::GsmSecureRadio, strings::Secure, "gsmSecureRadio");
    QLabel* typeLabel = makeLabel(ids::CallTypeLabel, strings::DataCallType, "callTypeLabel");
    m_analogRadio = makeRadio(ids::AnalogRadio, strings::Analog, "analogRadio");
    m_isdnRadio = makeRadio(ids::IsdnRadio, strings::Isdn, "isdnRadio");
    QLabel* speedLabel = makeLabel(ids::CallSpeedLabel, strings::DataCallSpeed, "callSpeedLabel");
    m_callSpeedCombo = new QComboBox(this);
    m_callSpeedCombo->setEditable(true);
    m_callSpeedCombo->setInsertPolicy(QComboBox::NoInsert);
    // Typed text is undone at once (onCallSpeedTyped); the box's completion
    // would then refill the emptied text with the first item and make a key
    // press choose it.
    m_callSpeedCombo->setCompleter(nullptr);
    widgets::setControlId(m_callSpeedCombo, ids::CallSpeedCombo);
    m_callSpeedCombo->setObjectName(QStringLiteral("callSpeedCombo"));
    QLabel* userLabel = makeLabel(ids::GsmUserNameLabel, strings::UserName, "gsmUserNameLabel");
    m_gsmUserEdit = makeEdit(ids::GsmUserNameEdit, "gsmUserNameEdit");
    QLabel* passwordLabel = makeLabel(ids::GsmPasswordLabel, strings::Password, "gsmPasswordLabel");
    m_gsmPasswordEdit = makePasswordEdit(ids::GsmPasswordEdit, "gsmPasswordEdit");

    grid->addWidget(dialLabel, 0, 0);
    grid->addWidget(m_dialUpMark, 0, 1);
    grid->addWidget(m_dialUpEdit, 0, 2);
    grid->addWidget(authLabel, 1, 0);
    grid->addWidget(m_gsmAuthMark, 1, 1);
    grid->addLayout(pairRow(m_gsmNormalRadio, m_gsmSecureRadio), 1, 2);
    widgets::describeAfterLabel({m_gsmNormalRadio, m_gsmSecureRadio}, authLabel);
    grid->addWidget(typeLabel, 2, 0);
    grid->addLayout(pairRow(m_analogRadio, m_isdnRadio), 2, 2);
    widgets::describeAfterLabel({m_analogRadio, m_isdnRadio}, typeLabel);
    grid->addWidget(speedLabel, 3, 0);
    grid->addWidget(m_callSpeedCombo, 3, 2);
    grid->addWidget(userLabel, 4, 0);
    grid->addWidget(m_gsmUserEdit, 4, 2);
    grid->addWidget(passwordLabel, 5, 0);
    grid->addWidget(m_gsmPasswordEdit, 5, 2);
    widgets::nameAfterLabel(m_dialUpEdit, dialLabel);
    widgets::nameAfterLabel(m_callSpeedCombo, speedLabel);
    widgets::nameAfterLabel(m_gsmUserEdit, userLabel);
    widgets::nameAfterLabel(m_gsmPasswordEdit, passwordLabel);
    m_gsmControls = {dialLabel,     authLabel,         typeLabel,        speedLabel,
                     userLabel,     passwordLabel,     m_dialUpEdit,     m_callSpeedCombo,
                     m_gsmUserEdit, m_gsmPasswordEdit, m_gsmNormalRadio, m_gsmSecureRadio,
                     m_analogRadio, m_isdnRadio};
    column->addWidget(m_gsmBox);
}

settings::TextField& ConnectionPage::text(GroupField field)
{
    return settings::textValue(settings::groupFieldInfo(field), m_group);
}

void ConnectionPage::bindEdits()
{
    const auto marksAndTest = [this] {
        updateMarks();
        requestCompletenessTest();
    };
    const auto testOnly = [this] {
        requestCompletenessTest();
    };
    // The GPRS and GSM login edits share two fields: emptying the edits of a
    // group being turned off must not empty the fields the other group shows.
    const auto guarded = [](QLineEdit* edit) {
        return [edit] {
            return !edit->text().isEmpty() || s_clearingGuard;
        };
    };
    bindEdits(
        m_group,
        {
            {m_primaryProxyEdit, GroupField::PrimaryProxy, marksAndTest},
            {m_primaryPortEdit, GroupField::PrimaryProxyPort, marksAndTest},
            {m_secondaryProxyEdit, GroupField::SecondaryProxy, marksAndTest},
            {m_secondaryPortEdit, GroupField::SecondaryProxyPort, marksAndTest},
            {m_accessPointEdit, GroupField::GprsAccessPoint, testOnly},
            {m_dialUpEdit, GroupField::GsmDialUpNumber, testOnly},
            {m_gprsUserEdit, GroupField::BearerUsername, marksAndTest, guarded(m_gprsUserEdit)},
            {m_gprsPasswordEdit, GroupField::BearerPassword, marksAndTest,
             guarded(m_gprsPasswordEdit)},
            {m_gsmUserEdit, GroupField::BearerUsername, marksAndTest, guarded(m_gsmUserEdit)},
            {m_gsmPasswordEdit, GroupField::BearerPassword, marksAndTest,
             guarded(m_gsmPasswordEdit)},
        });
}

void ConnectionPage::connectButtons()
{
    connect(m_proxiesYesRadio, &QAbstractButton::clicked, this, [this] { onProxiesClicked(true); });
    connect(m_proxiesNoRadio, &QAbstractButton::clicked, this, [this] { onProxiesClicked(false); });
    connect(m_gprsRadio, &QAbstractButton::clicked, this, [this] { onBearerClicked(false); });
    connect(m_gsmRadio, &QAbstractButton::clicked, this, [this] { onBearerClicked(true); });

    const auto authentication = [this](widgets::RadioButton* on, widgets::RadioButton* off,
                                       int value) {
        connect(on, &QAbstractButton::clicked, this, [this, on, off, value] {
            if (on->isChecked()) {
                checkOnly(on, off);
                settings::setNumberValue(
                    settings::groupFieldInfo(GroupField::BearerAuthenticationType), m_group, value);
                m_changed = true;
            }
            requestCompletenessTest();
        });
    };
    authentication(m_gprsNormalRadio, m_gprsSecureRadio, values::Normal);
    authentication(m_gprsSecureRadio, m_gprsNormalRadio, values::Secure);
    authentication(m_gsmNormalRadio, m_gsmSecureRadio, values::Normal);
    authentication(m_gsmSecureRadio, m_gsmNormalRadio, values::Secure);

    const auto callType = [this](widgets::RadioButton* on, widgets::RadioButton* off, int value) {
        connect(on, &QAbstractButton::clicked, this, [this, on, off, value] {
            if (!on->isChecked())
                return;
            checkOnly(on, off);
            settings::setNumberValue(settings::groupFieldInfo(GroupField::GsmDataCallType), m_group,
                                     value);
            m_changed = true;
        });
    };
    callType(m_analogRadio, m_isdnRadio, values::Analog);
    callType(m_isdnRadio, m_analogRadio, values::Isdn);

    connect(m_callSpeedCombo, &QComboBox::activated, this, &ConnectionPage::onCallSpeedSelected);
    connect(m_callSpeedCombo->lineEdit(), &QLineEdit::textEdited, this,
            &ConnectionPage::onCallSpeedTyped);
}

settings::StringId ConnectionPage::helpFor(int control) const
{
    switch (control) {
    case ids::DataBearerMark:
        return markHelp(m_bearerMark);
    case ids::PrimaryProxyMark:
        return markHelp(m_primaryProxyMark);
    case ids::SecondaryProxyMark:
        return markHelp(m_secondaryProxyMark);
    case ids::AccessPointMark:
        return markHelp(m_accessPointMark);
    case ids::DialUpNumberMark:
        return markHelp(m_dialUpMark);
    case ids::GprsAuthenticationMark:
        return markHelp(m_gprsAuthMark);
    case ids::GsmAuthenticationMark:
        return markHelp(m_gsmAuthMark);
    default:
        return widgets::lookUpHelp(HelpTable, control);
    }
}

void ConnectionPage::createPage()
{
    for (settings::StringId item : CallSpeedItems)
        m_callSpeedCombo->addItem(uiText(item));
    m_callSpeedCombo->setCurrentIndex(-1);
    m_callSpeedCombo->clearEditText();
}

void ConnectionPage::enableProxies(bool on)
{
    for (QWidget* w : m_proxyControls)
        w->setEnabled(on);
    const std::pair<QLineEdit*, GroupField> proxies[] = {
        {m_primaryProxyEdit, GroupField::PrimaryProxy},
        {m_primaryPortEdit, GroupField::PrimaryProxyPort},
        {m_secondaryProxyEdit, GroupField::SecondaryProxy},
        {m_secondaryPortEdit, GroupField::SecondaryProxyPort}};
    for (const auto& [edit, field] : proxies) {
        if (!text(field))
            continue;
        if (on) {
            showText(edit, text(field));
        } else {
            edit->clear();
            clearField(field, m_group);
        }
    }
}

void ConnectionPage::emptyBearerLogin(QLineEdit* user, QLineEdit* password)
{
    s_clearingGuard = false;
    user->clear();
    password->clear();
    s_clearingGuard = true;
}

void ConnectionPage::enableGprs(bool on)
{
    m_gprsBox->setEnabled(on);
    for (QWidget* w : m_gprsControls)
        w->setEnabled(on);
    if (on)
        return;
    m_accessPointEdit->clear();
    emptyBearerLogin(m_gprsUserEdit, m_gprsPasswordEdit);
    m_gprsNormalRadio->setChecked(false);
    m_gprsSecureRadio->setChecked(false);
    clearField(GroupField::GprsAccessPoint, m_group);
}

void ConnectionPage::enableGsm(bool on)
{
    m_gsmBox->setEnabled(on);
    for (QWidget* w : m_gsmControls)
        w->setEnabled(on);
    if (on)
        return;
    m_dialUpEdit->clear();
    m_callSpeedCombo->setCurrentIndex(-1);
    m_callSpeedCombo->clearEditText();
    emptyBearerLogin(m_gsmUserEdit, m_gsmPasswordEdit);
    for (widgets::RadioButton* radio :
         {m_gsmNormalRadio, m_gsmSecureRadio, m_analogRadio, m_isdnRadio})
        radio->setChecked(false);
    clearField(GroupField::GsmDialUpNumber, m_group);
    clearField(GroupField::GsmDataCallSpeed, m_group);
    clearField(GroupField::GsmDataCallType, m_group);
}

void ConnectionPage::onProxiesClicked(bool yes)
{
    widgets::RadioButton* on = yes ? m_proxiesYesRadio : m_proxiesNoRadio;
    if (on->isChecked()) {
        checkOnly(on, yes ? m_proxiesNoRadio : m_proxiesYesRadio);
        settings::setNumberValue(settings::groupFieldInfo(GroupField::Proxies), m_group,
                                 yes ? values::Yes : values::No);
        enableProxies(yes);
        m_changed = true;
    }
    requestCompletenessTest();
}

void ConnectionPage::onBearerClicked(bool gsm)
{
    widgets::RadioButton* on = gsm ? m_gsmRadio : m_gprsRadio;
    const settings::FieldInfo& bearerSpec = settings::groupFieldInfo(GroupField::DataBearer);
    const std::optional<int> bearer = settings::numberValue(bearerSpec, m_group);
    const int chosen = gsm ? values::GsmData : values::Gprs;
    if (on->isChecked() && bearer != chosen) {
        settings::setNumberValue(bearerSpec, m_group, chosen);
        clearField(GroupField::BearerAuthenticationType, m_group);
        clearField(GroupField::BearerUsername, m_group);
        clearField(GroupField::BearerPassword, m_group);
        showBearer();
        updateMarks();
        m_changed = true;
    }
    requestCompletenessTest();
}

void ConnectionPage::onCallSpeedSelected(int index)
{
    clearField(GroupField::GsmDataCallSpeed, m_group);
    if (index >= 0 && index < static_cast<int>(CallSpeedItems.size()))
        text(GroupField::GsmDataCallSpeed) = settings::stringText(CallSpeedItems[index]);
    // Otherwise a changed speed would be lost without the save question.
    m_changed = true;
}

void ConnectionPage::onCallSpeedTyped()
{
    // Only the three items may be chosen: typing is undone at once.
    const settings::TextField& speed = text(GroupField::GsmDataCallSpeed);
    m_callSpeedCombo->lineEdit()->setText(speed ? widgets::fromRecordText(*speed) : QString());
}

void ConnectionPage::updateMarks()
{
    const std::optional<int> bearer =
        settings::numberValue(settings::groupFieldInfo(GroupField::DataBearer), m_group);
    const bool login = settings::isNonEmpty(m_group.bearerUsername) ||
                       settings::isNonEmpty(m_group.bearerPassword);
    const bool gprs = bearer == values::Gprs;
    const bool gsm = bearer.has_value() && !gprs;
    setMark(m_accessPointMark, gprs);
    setMark(m_dialUpMark, gsm);
    setMark(m_gprsAuthMark, gprs && login);
    setMark(m_gsmAuthMark, gsm && login);
    setMark(m_primaryProxyMark, settings::isNonEmpty(m_group.primaryProxyPort));
    setMark(m_secondaryProxyMark, settings::isNonEmpty(m_group.secondaryProxyPort));
    setMark(m_bearerMark, settings::isNonEmpty(m_group.primaryProxy) ||
                              settings::isNonEmpty(m_group.secondaryProxy));
}

void ConnectionPage::activate()
{
    fill();
    updateMarks();
    makeRadiosTabStops();
}

void ConnectionPage::fill()
{
    const std::optional<int> proxies =
        settings::numberValue(settings::groupFieldInfo(GroupField::Proxies), m_group);
    m_proxiesYesRadio->setChecked(proxies && *proxies == values::Yes);
    m_proxiesNoRadio->setChecked(proxies && *proxies != values::Yes);
    enableProxies(proxies == values::Yes);
    showText(m_primaryProxyEdit, m_group.primaryProxy);
    showText(m_primaryPortEdit, m_group.primaryProxyPort);
    showText(m_secondaryProxyEdit, m_group.secondaryProxy);
    showText(m_secondaryPortEdit, m_group.secondaryProxyPort);

    showBearer();
}

void ConnectionPage::showBearer()
{
    // The controls show what the group holds and nothing that an earlier
    // record left in them: the chosen bearer's group shows the group's values,
    // the other one is off and empty, and with no bearer both are.
    const std::optional<int> bearer =
        settings::numberValue(settings::groupFieldInfo(GroupField::DataBearer), m_group);
    const bool gprs = bearer == values::Gprs;
    const bool gsm = bearer.has_value() && !gprs;
    m_gprsRadio->setChecked(gprs);
    m_gsmRadio->setChecked(gsm);
    enableGprs(gprs);
    enableGsm(gsm);
    if (!bearer)
        return;

    // An absent user name or password is shown empty without being stored:
    // the guard keeps the field absent, as the record holds it.
    s_clearingGuard = false;
    showText(gsm ? m_gsmUserEdit : m_gprsUserEdit, m_group.bearerUsername);
    showText(gsm ? m_gsmPasswordEdit : m_gprsPasswordEdit, m_group.bearerPassword);
    s_clearingGuard = true;
    const std::optional<int> authentication = settings::numberValue(
        settings::groupFieldInfo(GroupField::BearerAuthenticationType), m_group);
    (gsm ? m_gsmNormalRadio : m_gprsNormalRadio)->setChecked(authentication == values::Normal);
    (gsm ? m_gsmSecureRadio : m_gprsSecureRadio)->setChecked(authentication == values::Secure);
    if (gprs) {
        showText(m_accessPointEdit, m_group.gprsAccessPoint);
        return;
    }

    showText(m_dialUpEdit, m_group.gsmDialUpNumber);
    const std::optional<int> callType =
        settings::numberValue(settings::groupFieldInfo(GroupField::GsmDataCallType), m_group);
    m_analogRadio->setChecked(callType == values::Analog);
    m_isdnRadio->setChecked(callType == values::Isdn);
    const settings::TextField& speed = m_group.gsmDataCallSpeed;
    int speedIndex = -1;
    for (std::size_t i = 0; speed && i < CallSpeedItems.size(); ++i) {
        if (*speed == settings::stringText(CallSpeedItems[i]))
            speedIndex = static_cast<int>(i);
    }
    m_callSpeedCombo->setCurrentIndex(speedIndex);
    if (speedIndex < 0)
        m_callSpeedCombo->clearEditText();
}

} // namespace mailvane::pages
