#pragma once

// The program's string table: every label, value word, caption and message the
// user sees, by number. Texts are ISO-8859-1 bytes.

#include <string_view>

namespace mailvane::settings {

using StringId = int;

namespace strings {
// Labels of the settings (summary text and pages).
inline constexpr StringId MailboxName = 3;
inline constexpr StringId EmailAddress = 5;
inline constexpr StringId OutgoingServer = 7;
inline constexpr StringId IncomingServer = 9;
inline constexpr StringId IncomingServerType = 10;
inline constexpr StringId UserName = 11;
inline constexpr StringId Password = 12;
inline constexpr StringId UseSmtpAuthorisation = 16;
inline constexpr StringId SmtpUserName = 17;
inline constexpr StringId SmtpPassword = 18;
inline constexpr StringId OutgoingPort = 19;
inline constexpr StringId IncomingPop3Port = 20;
inline constexpr StringId IncomingImap4Port = 21;
inline constexpr StringId ReplyToAddress = 22;
inline constexpr StringId RetrieveEmails = 23;
inline constexpr StringId RetrievalMethod = 24;
inline constexpr StringId SecureLogin = 25;
inline constexpr StringId Proxies = 32;
inline constexpr StringId PrimaryProxy = 33;
inline constexpr StringId PrimaryProxyPort = 34;
inline constexpr StringId SecondaryProxy = 35;
inline constexpr StringId SecondaryProxyPort = 36;
inline constexpr StringId DataBearer = 37;
inline constexpr StringId AccessPoint = 40;
inline constexpr StringId AuthenticationType = 41;
inline constexpr StringId DialUpNumber = 43;
inline constexpr StringId DataCallType = 44;
inline constexpr StringId DataCallSpeed = 45;

// Value words as shown.
inline constexpr StringId Pop3 = 13;
inline constexpr StringId Imap4 = 14;
inline constexpr StringId Yes = 26;
inline constexpr StringId No = 27;
inline constexpr StringId Latest = 28;
inline constexpr StringId LatestUnread = 29;
inline constexpr StringId Gprs = 38;
inline constexpr StringId GsmData = 39;
inline constexpr StringId Normal = 46;
inline constexpr StringId Secure = 47;
inline constexpr StringId Analog = 50;
inline constexpr StringId Isdn = 51;

// File command captions and messages.
inline constexpr StringId SaveChangesCaption = 77;
inline constexpr StringId SaveChangesQuestion = 78;
inline constexpr StringId SaveChangesToFile = 129; // followed by the file name and ")"
inline constexpr StringId ReplaceExistingFile = 130;
inline constexpr StringId FileNotFoundCaption = 131;
inline constexpr StringId FileNotFoundMessage = 132;
inline constexpr StringId InvalidFileFormatCaption = 133;
inline constexpr StringId InvalidFileFormatMessage = 134;

// Send command captions and messages. These have no number of old, so they
// take numbers above every other.
inline constexpr StringId RecipientsMissingCaption = 201;
inline constexpr StringId NoRecipientsMessage = 202;
inline constexpr StringId SendingSuccessfulCaption = 203;
inline constexpr StringId SettingsSentMessage = 204;
inline constexpr StringId SendingFailedCaption = 205;
inline constexpr StringId SendingErrorMessage = 206;
inline constexpr StringId PhoneNotConnectedMessage = 207;

// The send workflow: the PIN, wait, Send and Choose Recipients dialogs, their
// help texts and the progress lines. None has a number of old either.
inline constexpr StringId OkLabel = 54; // "  OK  ", two blanks either side
inline constexpr StringId CancelLabel = 55;
inline constexpr StringId NoHelpTopic = 82;
inline constexpr StringId SendLabel = 300; // " Send "
inline constexpr StringId SendTitle = 301;
inline constexpr StringId RecipientsLabel = 302;
inline constexpr StringId EmailSettingsLabel = 303;
inline constexpr StringId CostWarning = 304;
inline constexpr StringId SendHelp = 305;
inline constexpr StringId CancelHelp = 306;
inline constexpr StringId RecipientsBoxHelp = 307;
inline constexpr StringId SettingsBoxHelp = 308;
inline constexpr StringId OkHelp = 309;
inline constexpr StringId AddLabel = 310; // "To:"
inline constexpr StringId ChooseRecipientsTitle = 311;
inline constexpr StringId ContactsLabel = 312;
inline constexpr StringId NameColumn = 313;
inline constexpr StringId NumberColumn = 314;
inline constexpr StringId NoContactsFound = 315;
inline constexpr StringId AddHelp = 316;
inline constexpr StringId ContactsListHelp = 317;
inline constexpr StringId RecipientsListHelp = 318;
inline constexpr StringId PinTitle = 320;
inline constexpr StringId PinLabel = 321;
inline constexpr StringId PinExplanation = 322; // ends with a line break
inline constexpr StringId PinHelp = 323;
inline constexpr StringId InvalidPinCaption = 324;
inline constexpr StringId InvalidPinMessage = 325;
inline constexpr StringId WaitMessage = 330; // two lines
inline constexpr StringId SendingProgress = 331; // %1 number, %2 index, %3 count
inline constexpr StringId ReadingContacts = 332;
} // namespace strings

// The text of string `id`; empty for a number the table does not hold.
std::string_view stringText(StringId id);

} // namespace mailvane::settings
