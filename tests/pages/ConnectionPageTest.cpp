#include "ConnectionPage.h"

#include "PageTestSupport.h"
#include "SettingsFileWriter.h"

#include <QComboBox>
#include <QSignalSpy>

using namespace mailvane;
using namespace mailvane::test;
using ids = pages::ConnectionPage;
namespace values = settings::values;

namespace {

const std::vector<int> ProxyControls = {ids::PrimaryProxyLabel,   ids::PrimaryProxyPortLabel,
                                        ids::SecondaryProxyLabel, ids::SecondaryProxyPortLabel,
                                        ids::PrimaryProxyEdit,    ids::PrimaryProxyPortEdit,
                                        ids::SecondaryProxyEdit,  ids::SecondaryProxyPortEdit};
const std::vector<int> GprsControls = {
    ids::GprsGroup,         ids::AccessPointLabel,  ids::GprsAuthenticationLabel,
    ids::GprsUserNameLabel, ids::GprsPasswordLabel, ids::AccessPointEdit,
    ids::GprsUserNameEdit,  ids::GprsPasswordEdit,  ids::GprsNormalRadio,
    ids::GprsSecureRadio};
const std::vector<int> GsmControls = {
    ids::GsmGroup,         ids::DialUpNumberLabel, ids::GsmAuthenticationLabel,
    ids::CallTypeLabel,    ids::CallSpeedLabel,    ids::GsmUserNameLabel,
    ids::GsmPasswordLabel, ids::DialUpNumberEdit,  ids::CallSpeedCombo,
    ids::GsmUserNameEdit,  ids::GsmPasswordEdit,   ids::GsmNormalRadio,
    ids::GsmSecureRadio,   ids::AnalogRadio,       ids::IsdnRadio};

class ConnectionPageTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_page.show();
        m_page.onSetActive();
        m_page.setChanged(false);
    }

    void expectEnabled(const std::vector<int>& controls, bool on)
    {
        for (int id : controls)
            EXPECT_EQ(isEnabled(&m_page, id), on) << "control " << id;
    }

    QComboBox* speedBox() { return control<QComboBox>(&m_page, ids::CallSpeedCombo); }

    settings::ConnectionSettings m_group;
    pages::ConnectionPage m_page{m_group};
};

TEST_F(ConnectionPageTest, freshGroupShowsNoChoiceAndEverythingOff)
{
    for (int id : {ids::ProxiesYesRadio, ids::ProxiesNoRadio, ids::GprsRadio, ids::GsmDataRadio})
        EXPECT_FALSE(isChecked(&m_page, id)) << id;
    expectEnabled(ProxyControls, false);
    expectEnabled(GprsControls, false);
    expectEnabled(GsmControls, false);
    EXPECT_EQ(speedBox()->count(), 3);
    EXPECT_EQ(speedBox()->currentText(), QString());
    EXPECT_EQ(m_group, settings::ConnectionSettings{});
}

TEST_F(ConnectionPageTest, proxiesNoDropsTheProxyFieldsAndYesBringsBackEmptyEdits)
{
    QSignalSpy spy(&m_page, &pages::SettingsPage::completenessTestRequested);
    click(&m_page, ids::ProxiesYesRadio);
    expectEnabled(ProxyControls, true);
    EXPECT_EQ(m_group.proxies, values::Yes);
    typeInto(&m_page, ids::PrimaryProxyPortEdit, QStringLiteral("8080"));
    EXPECT_TRUE(markShown(&m_page, ids::PrimaryProxyMark));
    EXPECT_FALSE(markShown(&m_page, ids::DataBearerMark));
    typeInto(&m_page, ids::PrimaryProxyEdit, QStringLiteral("proxy"));
    EXPECT_TRUE(markShown(&m_page, ids::DataBearerMark));

    click(&m_page, ids::ProxiesNoRadio);
    expectEnabled(ProxyControls, false);
    EXPECT_FALSE(m_group.primaryProxy);
    EXPECT_FALSE(m_group.primaryProxyPort);
    EXPECT_EQ(m_group.proxies, values::No);
    EXPECT_FALSE(isChecked(&m_page, ids::ProxiesYesRadio));

    click(&m_page, ids::ProxiesYesRadio);
    EXPECT_TRUE(edit(&m_page, ids::PrimaryProxyEdit)->text().isEmpty());
    EXPECT_GE(spy.count(), 5);
    EXPECT_TRUE(m_page.isChanged());
}

TEST_F(ConnectionPageTest, bearerSwitchClearsTheLoginAndTheOtherBearersFields)
{
    click(&m_page, ids::GprsRadio);
    expectEnabled(GprsControls, true);
    expectEnabled(GsmControls, false);
    EXPECT_TRUE(markShown(&m_page, ids::AccessPointMark));
    typeInto(&m_page, ids::AccessPointEdit, QStringLiteral("internet"));
    typeInto(&m_page, ids::GprsUserNameEdit, QStringLiteral("user"));
    EXPECT_TRUE(markShown(&m_page, ids::GprsAuthenticationMark));
    click(&m_page, ids::GprsSecureRadio);
    EXPECT_EQ(m_group.bearerAuthenticationType, values::Secure);

    // Clicking the bearer that is already chosen changes nothing.
    click(&m_page, ids::GprsRadio);
    EXPECT_EQ(m_group.bearerUsername, "user");

    click(&m_page, ids::GsmDataRadio);
    EXPECT_EQ(m_group.dataBearer, values::GsmData);
    expectEnabled(GprsControls, false);
    expectEnabled(GsmControls, true);
    EXPECT_FALSE(m_group.gprsAccessPoint);
    EXPECT_FALSE(m_group.bearerAuthenticationType);
    EXPECT_FALSE(m_group.bearerUsername);
    EXPECT_FALSE(m_group.bearerPassword);
    EXPECT_FALSE(isChecked(&m_page, ids::GprsSecureRadio));
    EXPECT_TRUE(markShown(&m_page, ids::DialUpNumberMark));
    EXPECT_FALSE(markShown(&m_page, ids::AccessPointMark));

    click(&m_page, ids::GprsRadio);
    EXPECT_TRUE(edit(&m_page, ids::AccessPointEdit)->text().isEmpty());
    EXPECT_TRUE(edit(&m_page, ids::GprsUserNameEdit)->text().isEmpty());
}

TEST_F(ConnectionPageTest, fillingAGsmGroupKeepsItsLoginWhileTheGprsEditsEmpty)
{
    struct Case
    {
        int bearer;
        int userEdit;
        int otherUserEdit;
        int secureRadio;
    };
    const Case cases[] = {
        {values::GsmData, ids::GsmUserNameEdit, ids::GprsUserNameEdit, ids::GsmSecureRadio},
        {values::Gprs, ids::GprsUserNameEdit, ids::GsmUserNameEdit, ids::GprsSecureRadio}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bearer);
        // Text left in the other bearer's login edit from earlier editing.
        edit(&m_page, c.otherUserEdit)->setText(QStringLiteral("stale"));
        m_group = {};
        m_group.dataBearer = c.bearer;
        m_group.bearerUsername = "user";
        m_group.bearerPassword = "pw";
        m_group.bearerAuthenticationType = values::Secure;
        m_group.gprsAccessPoint = "apn";
        m_group.gsmDialUpNumber = "123";
        m_group.gsmDataCallType = values::Isdn;
        m_group.gsmDataCallSpeed = "9600";
        m_page.setChanged(false);
        m_page.onSetActive();
        // Looking at a page is not a change, though its edits were filled.
        EXPECT_FALSE(m_page.isChanged());
        EXPECT_EQ(m_group.bearerUsername, "user");
        EXPECT_EQ(m_group.bearerPassword, "pw");
        EXPECT_EQ(edit(&m_page, c.userEdit)->text(), QStringLiteral("user"));
        EXPECT_TRUE(edit(&m_page, c.otherUserEdit)->text().isEmpty());
        EXPECT_TRUE(isChecked(&m_page, c.secureRadio));
        const bool gsm = c.bearer == values::GsmData;
        // Only the fields of the group's own bearer survive the fill.
        EXPECT_EQ(m_group.gprsAccessPoint.has_value(), !gsm);
        EXPECT_EQ(m_group.gsmDialUpNumber.has_value(), gsm);
        EXPECT_EQ(m_group.gsmDataCallSpeed.has_value(), gsm);
        EXPECT_EQ(isChecked(&m_page, ids::IsdnRadio), gsm);
        EXPECT_EQ(speedBox()->currentText(), gsm ? QStringLiteral("9600") : QString());
    }
}

// What the bearer part of the page shows, for comparing with the record.
struct BearerView
{
    bool gprs = false, gsm = false; // the bearer radios
    bool gprsGroupOn = false, gsmGroupOn = false;
    QString accessPoint, dialUp, gprsUser, gsmUser, speed;
    bool normal = false, secure = false, analog = false, isdn = false; // any radio of the pair

    bool operator==(const BearerView&) const = default;
};

void PrintTo(const BearerView& v, std::ostream* out)
{
    *out << "gprs " << v.gprs << " gsm " << v.gsm << " groups " << v.gprsGroupOn << v.gsmGroupOn
         << " apn '" << v.accessPoint.toStdString() << "' dial '" << v.dialUp.toStdString()
         << "' users '" << v.gprsUser.toStdString() << "' '" << v.gsmUser.toStdString()
         << "' speed '" << v.speed.toStdString() << "' normal " << v.normal << " secure "
         << v.secure << " analog " << v.analog << " isdn " << v.isdn;
}

// What a settings file holds for the group (empty texts and absent fields alike).
std::string savedAs(const settings::ConnectionSettings& group)
{
    settings::EmailSettings record;
    record.incoming = group;
    return settings::settingsFileText(record);
}

TEST_F(ConnectionPageTest, aRefillShowsWhatTheGroupHoldsAndNothingStale)
{
    const auto shown = [this] {
        BearerView v;
        v.gprs = isChecked(&m_page, ids::GprsRadio);
        v.gsm = isChecked(&m_page, ids::GsmDataRadio);
        v.gprsGroupOn = isEnabled(&m_page, ids::AccessPointEdit);
        v.gsmGroupOn = isEnabled(&m_page, ids::DialUpNumberEdit);
        v.accessPoint = edit(&m_page, ids::AccessPointEdit)->text();
        v.dialUp = edit(&m_page, ids::DialUpNumberEdit)->text();
        v.gprsUser = edit(&m_page, ids::GprsUserNameEdit)->text();
        v.gsmUser = edit(&m_page, ids::GsmUserNameEdit)->text();
        v.speed = speedBox()->currentText();
        v.normal =
            isChecked(&m_page, ids::GprsNormalRadio) || isChecked(&m_page, ids::GsmNormalRadio);
        v.secure =
            isChecked(&m_page, ids::GprsSecureRadio) || isChecked(&m_page, ids::GsmSecureRadio);
        v.analog = isChecked(&m_page, ids::AnalogRadio);
        v.isdn = isChecked(&m_page, ids::IsdnRadio);
        return v;
    };
    struct Case
    {
        const char* name;
        settings::ConnectionSettings group;
        BearerView want;
    };
    settings::ConnectionSettings gsmWithoutSpeed;
    gsmWithoutSpeed.dataBearer = values::GsmData;
    gsmWithoutSpeed.gsmDialUpNumber = "555";
    settings::ConnectionSettings gprs;
    gprs.dataBearer = values::Gprs;
    gprs.gprsAccessPoint = "apn";
    gprs.bearerAuthenticationType = values::Normal;
    BearerView gsmShown;
    gsmShown.gsm = gsmShown.gsmGroupOn = true;
    BearerView gsmWithoutSpeedShown = gsmShown;
    gsmWithoutSpeedShown.dialUp = QStringLiteral("555");
    BearerView gprsShown;
    gprsShown.gprs = gprsShown.gprsGroupOn = gprsShown.normal = true;
    gprsShown.accessPoint = QStringLiteral("apn");
    const Case cases[] = {
        {"GSM data without a speed", gsmWithoutSpeed, gsmWithoutSpeedShown},
        {"GPRS", gprs, gprsShown},
        {"no bearer", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The tab shows a full GSM data connection of an earlier record...
        m_group = {};
        m_page.fillFromRecord();
        click(&m_page, ids::GsmDataRadio);
        typeInto(&m_page, ids::DialUpNumberEdit, QStringLiteral("123"));
        typeInto(&m_page, ids::GsmUserNameEdit, QStringLiteral("user"));
        click(&m_page, ids::GsmSecureRadio);
        click(&m_page, ids::IsdnRadio);
        speedBox()->setCurrentIndex(2);
        Q_EMIT speedBox()->activated(2);
        // ... when Empty Fields, New or Open puts another record in place.
        m_group = c.group;
        m_page.fillFromRecord();
        EXPECT_EQ(shown(), c.want);
        EXPECT_EQ(savedAs(m_group), savedAs(c.group));
    }

    // A bearer chosen after that starts from what the record holds: nothing.
    click(&m_page, ids::GsmDataRadio);
    EXPECT_EQ(shown(), gsmShown);
    settings::ConnectionSettings onlyBearer;
    onlyBearer.dataBearer = values::GsmData;
    EXPECT_EQ(savedAs(m_group), savedAs(onlyBearer));
}

TEST_F(ConnectionPageTest, typingIntoTheFocusedCallSpeedBoxChoosesNothing)
{
    click(&m_page, ids::GsmDataRadio);
    m_page.setChanged(false);
    // Keys go to the focused box of the active window, as a person's do, so
    // that the box's own completion sees them too.
    m_page.activateWindow();
    QApplication::setActiveWindow(&m_page);
    QComboBox* box = speedBox();
    box->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->hasFocus(); }, 2000));
    for (const char* typed : {"q", "9600", "1"}) {
        SCOPED_TRACE(typed);
        QTest::keyClicks(box, QString::fromLatin1(typed));
        EXPECT_EQ(box->currentText(), QString());
        QTest::keyClick(box, Qt::Key_Return);
        edit(&m_page, ids::DialUpNumberEdit)->setFocus();
        box->setFocus();
        EXPECT_EQ(box->currentText(), QString());
        EXPECT_FALSE(m_group.gsmDataCallSpeed);
    }
    EXPECT_FALSE(m_page.isChanged());

    // Choosing an item, by the list or the arrow keys, is what counts.
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(m_group.gsmDataCallSpeed, std::string(settings::CallSpeedWords[0]));
    for (int item = 0; item < 3; ++item) {
        box->setCurrentIndex(item);
        Q_EMIT box->activated(item);
        EXPECT_EQ(m_group.gsmDataCallSpeed,
                  std::string(settings::CallSpeedWords[static_cast<std::size_t>(item)]));
    }
    EXPECT_TRUE(m_page.isChanged());
    QTest::keyClicks(box, QStringLiteral("9"));
    EXPECT_EQ(box->currentText(), QStringLiteral("14400"));
    EXPECT_EQ(m_group.gsmDataCallSpeed, "14400");

    click(&m_page, ids::IsdnRadio);
    EXPECT_EQ(m_group.gsmDataCallType, values::Isdn);
    click(&m_page, ids::AnalogRadio);
    EXPECT_EQ(m_group.gsmDataCallType, values::Analog);
    EXPECT_FALSE(isChecked(&m_page, ids::IsdnRadio));
}

TEST_F(ConnectionPageTest, clearingGuardKeepsTheSharedLoginWhenAGroupTurnsOff)
{
    click(&m_page, ids::GsmDataRadio);
    typeInto(&m_page, ids::GsmUserNameEdit, QStringLiteral("user"));
    // The refill empties the GPRS login edits (turned off) under the guard.
    m_page.onSetActive();
    EXPECT_EQ(m_group.bearerUsername, "user");
    EXPECT_TRUE(pages::ConnectionPage::clearingGuard());
    // With the guard on, emptying a login edit by hand is stored.
    typeInto(&m_page, ids::GsmUserNameEdit, QString());
    EXPECT_EQ(m_group.bearerUsername, "");
}

TEST_F(ConnectionPageTest, helpFollowsTheTableAndTheMarks)
{
    EXPECT_EQ(m_page.helpFor(ids::ProxyGroup), 107);
    EXPECT_EQ(m_page.helpFor(ids::CallSpeedCombo), 123);
    EXPECT_EQ(m_page.helpFor(ids::GsmPasswordLabel), 125);
    EXPECT_EQ(m_page.helpFor(ids::AccessPointMark), settings::strings::NoHelpTopic);
    click(&m_page, ids::GprsRadio);
    EXPECT_EQ(m_page.helpFor(ids::AccessPointMark), settings::strings::FieldIsMandatory);
    EXPECT_EQ(m_page.helpFor(4711), settings::strings::NoHelpTopic);
}

} // namespace
