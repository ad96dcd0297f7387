#pragma once

// The control numbers of the main window's template (102), its menu (129)
// and the three settings page templates (130, 131, 132). The numbers are
// what help tables and tests name controls by.

namespace mailvane::app {

namespace templates {
inline constexpr int MainWindow = 102;
inline constexpr int GeneralPage = 130;
inline constexpr int AdvancedPage = 131;
inline constexpr int ConnectionPage = 132;
} // namespace templates

// Template 102.
namespace main_window {
enum Control : int
{
    RecipientsEdit = 1001,
    ChooseRecipientsButton = 1002,
    SendButton = 1024,
    HeadingStatic = 1076,
    EmptyFieldsButton = 1090,
};
} // namespace main_window

// Menu 129.
namespace menu {
enum Command : int
{
    NewCommand = 57600,
    OpenCommand = 32773,
    SaveCommand = 57603,
    SaveAsCommand = 32777,
    ExitCommand = 32774,
    WhatsThisCommand = 32778,
    AboutCommand = 32776,
};
} // namespace menu

// Template 130.
namespace general {
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
} // namespace general

// Template 131.
namespace advanced {
enum Control : int
{
    SmtpUserNameEdit = 1001,
    SmtpPasswordEdit = 1002,
    OutgoingPortEdit = 1003,
    IncomingPortEdit = 1004,
    RetrieveEmailsEdit = 1006,
    SmtpAuthYesRadio = 1010,
    SmtpAuthNoRadio = 1011,
    ReplyToEdit = 1012,
    LatestRadio = 1013,
    LatestUnreadRadio = 1014,
    SecureLoginYesRadio = 1015,
    SecureLoginNoRadio = 1016,
    IncomingPortLabel = 1029,
    SecureLoginLabel = 1031,
    RetrievalMethodLabel = 1033,
    SmtpAuthLabel = 1064,
    SmtpUserNameLabel = 1065,
    SmtpPasswordLabel = 1066,
    OutgoingPortLabel = 1067,
    ReplyToLabel = 1068,
    RetrieveEmailsLabel = 1069,
};
} // namespace advanced

// Template 132.
namespace connection {
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
} // namespace connection

} // namespace mailvane::app
