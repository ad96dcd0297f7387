#pragma once

// The " Incoming " and " Outgoing " tabs: the proxies and the data
// connection (GPRS or GSM data) of one connection group. The page knows
// nothing of the direction; it edits whichever group it is given.

#include "BearerGroup.h"
#include "SettingsFields.h"
#include "SettingsPage.h"

#include <memory>
#include <vector>

class QComboBox;
class QGroupBox;
class QVBoxLayout;

namespace mailvane::pages {

class ConnectionPage : public SettingsPage
{
    Q_OBJECT

public:
    static constexpr int TemplateId = 132;

    // The numbers help tables and tests name the page's controls by.
    enum Control : int
    {
        PrimaryProxyEdit = 1001,
        AccessPointEdit = 1002,
        PrimaryProxyPortEdit = 1003,
        SecondaryProxyEdit = 1004,
        SecondaryProxyPortEdit = 1006,
        GprsRadio = 1007,
        GprsUserNameEdit = 1008,
        ProxiesYesRadio = 1010,
        ProxiesNoRadio = 1011,
        GsmDataRadio = 1012,
        GprsPasswordEdit = 1013,
        DialUpNumberEdit = 1014,
        GprsNormalRadio = 1016,
        GprsSecureRadio = 1017,
        GsmNormalRadio = 1020,
        GsmSecureRadio = 1021,
        AnalogRadio = 1022,
        IsdnRadio = 1023,
        GsmUserNameEdit = 1024,
        GsmPasswordEdit = 1025,
        PrimaryProxyLabel = 1034,
        PrimaryProxyPortLabel = 1035,
        SecondaryProxyLabel = 1036,
        SecondaryProxyPortLabel = 1037,
        AccessPointLabel = 1038,
        GprsAuthenticationLabel = 1039,
        GprsUserNameLabel = 1041,
        GprsPasswordLabel = 1042,
        GprsGroup = 1043,
        GsmGroup = 1044,
        DialUpNumberLabel = 1045,
        GsmAuthenticationLabel = 1046,
        CallTypeLabel = 1047,
        CallSpeedLabel = 1048,
        GsmUserNameLabel = 1049,
        GsmPasswordLabel = 1050,
        ProxyGroup = 1071,
        ProxiesLabel = 1072,
        DataBearerLabel = 1073,
        CallSpeedCombo = 1077,
        DataBearerMark = 1096,
        PrimaryProxyMark = 1097,
        AccessPointMark = 1100,
        DialUpNumberMark = 1101,
        SecondaryProxyMark = 1102,
        GprsAuthenticationMark = 1103,
        GsmAuthenticationMark = 1104,
    };

    explicit ConnectionPage(settings::ConnectionSettings& group, QWidget* parent = nullptr);

    settings::StringId helpFor(int control) const override;

    // The program-wide guard that protects a group's bearer user name and
    // password while a page empties the controls of a bearer group it turns
    // off; normally on.
    static bool clearingGuard() { return BearerGroup::clearingGuard(); }

protected:
    void createPage() override;
    void fill() override;
    void activate() override;

private:
    void buildProxyGroup(QVBoxLayout* column);
    void buildBearerRow(QVBoxLayout* column);
    void buildGprsGroup(QVBoxLayout* column);
    void buildGsmGroup(QVBoxLayout* column);
    // The GSM group's call type and call speed rows.
    std::vector<BearerGroup::ExtraRow> makeCallRows();
    void emptyCallRows();
    using SettingsPage::bindEdits;
    void bindEdits();
    void connectButtons();

    void enableProxies(bool on);
    void onProxiesClicked(bool yes);
    void onBearerClicked(bool gsm);
    // Puts the group's bearer and its fields into the bearer controls.
    void showBearer();
    void onCallSpeedSelected(int index);
    void onCallSpeedTyped();
    void updateMarks();

    settings::TextField& text(settings::GroupField field);

    settings::ConnectionSettings& m_group;

    QGroupBox* m_proxyBox;
    widgets::RadioButton* m_proxiesYesRadio;
    widgets::RadioButton* m_proxiesNoRadio;
    QLineEdit* m_primaryProxyEdit;
    QLineEdit* m_primaryPortEdit;
    QLineEdit* m_secondaryProxyEdit;
    QLineEdit* m_secondaryPortEdit;
    std::vector<QWidget*> m_proxyControls;
    QLabel* m_primaryProxyMark;
    QLabel* m_secondaryProxyMark;
    QLabel* m_bearerMark;

    widgets::RadioButton* m_gprsRadio;
    widgets::RadioButton* m_gsmRadio;

    std::unique_ptr<BearerGroup> m_gprs;
    std::unique_ptr<BearerGroup> m_gsm;
    widgets::RadioButton* m_analogRadio;
    widgets::RadioButton* m_isdnRadio;
    QComboBox* m_callSpeedCombo;
};

} // namespace mailvane::pages
