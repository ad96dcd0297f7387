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

    for (QWidget* w : m_proxyControls)
        w->setEnabled(false);
    bindEdits();
    connectButtons();
}

void ConnectionPage::buildProxyGroup(QVBoxLayout* column)
{
    m_proxyBox = makeGroupBox(ids::ProxyGroup, strings::Proxy, "proxyGroup");
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
    markControls(m_primaryProxyMark, {m_primaryProxyEdit});
    m_secondaryProxyMark = makeMark(ids::SecondaryProxyMark, "secondaryProxyMark");
    m_secondaryProxyEdit = makeEdit(ids::SecondaryProxyEdit, "secondaryProxyEdit");
    m_secondaryPortEdit = makeEdit(ids::SecondaryProxyPortEdit, "secondaryProxyPortEdit", true);
    addProxy(2, ids::SecondaryProxyLabel, strings::SecondaryProxy, "secondaryProxyLabel",
             m_secondaryProxyMark, m_secondaryProxyEdit, ids::SecondaryProxyPortLabel,
             strings::SecondaryProxyPort, "secondaryProxyPortLabel", m_secondaryPortEdit);
    markControls(m_secondaryProxyMark, {m_secondaryProxyEdit});
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
    markControls(m_bearerMark, {m_gprsRadio, m_gsmRadio});
    column->addLayout(row);
}

void ConnectionPage::buildGprsGroup(QVBoxLayout* column)
{
    m_gprs = std::make_unique<BearerGroup>(
        *this, column,
        BearerGroup::Controls{ids::GprsGroup, ids::AccessPointLabel, ids::AccessPointMark,
                              ids::AccessPointEdit, ids::GprsAuthenticationLabel,
                              ids::GprsAuthenticationMark, ids::GprsNormalRadio,
                              ids::GprsSecureRadio, ids::GprsUserNameLabel, ids::GprsUserNameEdit,
                              ids::GprsPasswordLabel, ids::GprsPasswordEdit},
        BearerGroup::Texts{strings::Gprs, strings::AccessPoint, "gprs", "accessPoint"},
        GroupField::GprsAccessPoint, m_group);
}

void ConnectionPage::buildGsmGroup(QVBoxLayout* column)
{
    BearerGroup::Extras callRows;
    callRows.make = [this] {
        return makeCallRows();
    };
    callRows.empty = [this] {
        emptyCallRows();
    };
    m_gsm = std::make_unique<BearerGroup>(
        *this, column,
        BearerGroup::Controls{ids::GsmGroup, ids::DialUpNumberLabel, ids::DialUpNumberMark,
                              ids::DialUpNumberEdit, ids::GsmAuthenticationLabel,
                              ids::GsmAuthenticationMark, ids::GsmNormalRadio, ids::GsmSecureRadio,
                              ids::GsmUserNameLabel, ids::GsmUserNameEdit, ids::GsmPasswordLabel,
                              ids::GsmPasswordEdit},
        BearerGroup::Texts{strings::GsmData, strings::DialUpNumber, "gsm", "dialUpNumber"},
        GroupField::GsmDialUpNumber, m_group, std::move(callRows));
}

std::vector<BearerGroup::ExtraRow> ConnectionPage::makeCallRows()
{
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
    return {{typeLabel, nullptr, m_analogRadio, m_isdnRadio}, {speedLabel, m_callSpeedCombo}};
}

void ConnectionPage::emptyCallRows()
{
    // The group unchecks the call type pair with its other radio buttons.
    m_callSpeedCombo->setCurrentIndex(-1);
    m_callSpeedCombo->clearEditText();
    clearField(GroupField::GsmDataCallSpeed, m_group);
    clearField(GroupField::GsmDataCallType, m_group);
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
            return !edit->text().isEmpty() || BearerGroup::clearingGuard();
        };
    };
    bindEdits(m_group, {
                           {m_primaryProxyEdit, GroupField::PrimaryProxy, marksAndTest},
                           {m_primaryPortEdit, GroupField::PrimaryProxyPort, marksAndTest},
                           {m_secondaryProxyEdit, GroupField::SecondaryProxy, marksAndTest},
                           {m_secondaryPortEdit, GroupField::SecondaryProxyPort, marksAndTest},
                           {m_gprs->addressEdit(), GroupField::GprsAccessPoint, testOnly},
                           {m_gsm->addressEdit(), GroupField::GsmDialUpNumber, testOnly},
                           {m_gprs->userNameEdit(), GroupField::BearerUsername, marksAndTest,
                            guarded(m_gprs->userNameEdit())},
                           {m_gprs->passwordEdit(), GroupField::BearerPassword, marksAndTest,
                            guarded(m_gprs->passwordEdit())},
                           {m_gsm->userNameEdit(), GroupField::BearerUsername, marksAndTest,
                            guarded(m_gsm->userNameEdit())},
                           {m_gsm->passwordEdit(), GroupField::BearerPassword, marksAndTest,
                            guarded(m_gsm->passwordEdit())},
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
    for (const BearerGroup* bearer : {m_gprs.get(), m_gsm.get()}) {
        authentication(bearer->normalRadio(), bearer->secureRadio(), values::Normal);
        authentication(bearer->secureRadio(), bearer->normalRadio(), values::Secure);
    }

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
        return markHelp(m_gprs->addressMark());
    case ids::DialUpNumberMark:
        return markHelp(m_gsm->addressMark());
    case ids::GprsAuthenticationMark:
        return markHelp(m_gprs->authenticationMark());
    case ids::GsmAuthenticationMark:
        return markHelp(m_gsm->authenticationMark());
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
    setMark(m_gprs->addressMark(), gprs);
    setMark(m_gsm->addressMark(), gsm);
    setMark(m_gprs->authenticationMark(), gprs && login);
    setMark(m_gsm->authenticationMark(), gsm && login);
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
    m_gprs->enable(gprs);
    m_gsm->enable(gsm);
    if (!bearer)
        return;

    (gsm ? m_gsm : m_gprs)->show();
    if (gprs)
        return;

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
