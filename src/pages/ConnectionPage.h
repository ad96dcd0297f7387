#pragma once

// The " Incoming " and " Outgoing " tabs: the proxies and the data
// connection (GPRS or GSM data) of one connection group. The page knows
// nothing of the direction; it edits whichever group it is given.

#include "SettingsFields.h"
#include "SettingsPage.h"

#include <vector>

class QComboBox;
class QGroupBox;
class QVBoxLayout;

namespace mailvane::pages {

class ConnectionPage : public SettingsPage
{
    Q_OBJECT

public:
    explicit ConnectionPage(settings::ConnectionSettings& group, QWidget* parent = nullptr);

    settings::StringId helpFor(int control) const override;

    // The program-wide guard that protects a group's bearer user name and
    // password while a page empties the controls of a bearer group it turns
    // off; normally on.
    static bool clearingGuard() { return s_clearingGuard; }

protected:
    void createPage() override;
    void fill() override;
    void activate() override;

private:
    void buildProxyGroup(QVBoxLayout* column);
    void buildBearerRow(QVBoxLayout* column);
    void buildGprsGroup(QVBoxLayout* column);
    void buildGsmGroup(QVBoxLayout* column);
    void bindEdits();
    void connectButtons();

    void enableProxies(bool on);
    void enableGprs(bool on);
    void enableGsm(bool on);
    void onProxiesClicked(bool yes);
    void onBearerClicked(bool gsm);
    // Puts the group's bearer and its fields into the bearer controls.
    void showBearer();
    void onCallSpeedSelected(int index);
    void onCallSpeedTyped();
    void updateMarks();
    void emptyBearerLogin(QLineEdit* user, QLineEdit* password);

    settings::TextField& text(settings::GroupField field);

    settings::ConnectionSettings& m_group;

    QGroupBox* m_proxyBox;
    app::RadioButton* m_proxiesYesRadio;
    app::RadioButton* m_proxiesNoRadio;
    QLineEdit* m_primaryProxyEdit;
    QLineEdit* m_primaryPortEdit;
    QLineEdit* m_secondaryProxyEdit;
    QLineEdit* m_secondaryPortEdit;
    std::vector<QWidget*> m_proxyControls;
    QLabel* m_primaryProxyMark;
    QLabel* m_secondaryProxyMark;
    QLabel* m_bearerMark;

    app::RadioButton* m_gprsRadio;
    app::RadioButton* m_gsmRadio;

    QGroupBox* m_gprsBox;
    QLineEdit* m_accessPointEdit;
    app::RadioButton* m_gprsNormalRadio;
    app::RadioButton* m_gprsSecureRadio;
    QLineEdit* m_gprsUserEdit;
    QLineEdit* m_gprsPasswordEdit;
    QLabel* m_accessPointMark;
    QLabel* m_gprsAuthMark;
    std::vector<QWidget*> m_gprsControls;

    QGroupBox* m_gsmBox;
    QLineEdit* m_dialUpEdit;
    app::RadioButton* m_gsmNormalRadio;
    app::RadioButton* m_gsmSecureRadio;
    app::RadioButton* m_analogRadio;
    app::RadioButton* m_isdnRadio;
    QComboBox* m_callSpeedCombo;
    QLineEdit* m_gsmUserEdit;
    QLineEdit* m_gsmPasswordEdit;
    QLabel* m_dialUpMark;
    QLabel* m_gsmAuthMark;
    std::vector<QWidget*> m_gsmControls;

    static bool s_clearingGuard;
};

} // namespace mailvane::pages
