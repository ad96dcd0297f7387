#pragma once

// The program's string table: every label, value word, caption and message the
// user sees, by number. Texts are ISO-8859-1 bytes.

#include <initializer_list>
#include <string>
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
inline constexpr StringId RecipientsInvalidCaption = 208;
inline constexpr StringId NotAPhoneNumberMessage = 209; // %1 the piece
inline constexpr StringId GatewayUnreachableMessage = 215;

// What a failed send says after the sending error sentence: which number
// failed and why, how many went before it, which were not tried.
inline constexpr StringId NumberFailedLine = 210;          // %1 number, %2 cause
inline constexpr StringId NumberFailedAtMessageLine = 211; // %1 number, %2 k, %3 n, %4 cause
inline constexpr StringId SentBeforeLine = 212;            // %1 sent, %2 numbers in all
inline constexpr StringId NotTriedLine = 213;              // %1 the numbers
inline constexpr StringId MoreNumbers = 214;               // %1 how many
// Causes, as the phone link names them.
inline constexpr StringId PhoneUnreachableCause = 220;
inline constexpr StringId PhoneConnectionLostCause = 221;
inline constexpr StringId PhoneTimeoutCause = 222;
inline constexpr StringId PhoneRefusedCause = 223;
inline constexpr StringId GatewayRefusedCause = 224;
inline constexpr StringId GatewayUnreachableCause = 225;
inline constexpr StringId GatewayTimeoutCause = 226;
inline constexpr StringId ServiceMissingCause = 227;
inline constexpr StringId NotEncodedCause = 228;
inline constexpr StringId TokenTableMissingCause = 229;    // %1 the path
inline constexpr StringId TokenTableUnreadableCause = 230; // %1 the path
inline constexpr StringId TokenTableEmptyCause = 231;      // %1 the path
inline constexpr StringId UnknownStatusCause = 232;        // %1 the status code

// The window program: labels, help texts and messages of the main window,
// the settings pages and the file commands.
inline constexpr StringId Proxy = 31;
inline constexpr StringId OkLabel = 54;
inline constexpr StringId CancelLabel = 55;
inline constexpr StringId AutoBauding = 79;
inline constexpr StringId Speed9600 = 80;
inline constexpr StringId Speed14400 = 81;
inline constexpr StringId NoHelpTopic = 82;
inline constexpr StringId FirstPageHelp = 90; // page help texts run from 90 to 125
inline constexpr StringId LastPageHelp = 125;
inline constexpr StringId FieldIsMandatory = 144;
inline constexpr StringId MandatoryNote = 145;
inline constexpr StringId MainWindowTitle = 300; // "Mailvane" and seven blanks
inline constexpr StringId Heading = 301;
inline constexpr StringId ChooseRecipientsCaption = 302;
inline constexpr StringId SendCaption = 303;
inline constexpr StringId EmptyFieldsCaption = 304;
inline constexpr StringId RecipientsHelp = 305;
inline constexpr StringId SendHelp = 306;
inline constexpr StringId GeneralTab = 307;
inline constexpr StringId AdvancedTab = 308;
inline constexpr StringId IncomingTab = 309;
inline constexpr StringId OutgoingTab = 310;
inline constexpr StringId SheetCaption = 311;
inline constexpr StringId FileMenu = 312;
inline constexpr StringId NewItem = 313;
inline constexpr StringId OpenItem = 314;
inline constexpr StringId SaveItem = 315;
inline constexpr StringId SaveAsItem = 316;
inline constexpr StringId ExitItem = 317;
inline constexpr StringId HelpMenu = 318;
inline constexpr StringId WhatsThisItem = 319;
inline constexpr StringId AboutItem = 320;
inline constexpr StringId NoHelpAvailable = 321;
inline constexpr StringId SaveFailedCaption = 322;
inline constexpr StringId SaveFailedMessage = 323; // followed by the file name, ": " and why
inline constexpr StringId UndoItem = 330;
inline constexpr StringId CutItem = 331;
inline constexpr StringId CopyItem = 332;
inline constexpr StringId PasteItem = 333;
inline constexpr StringId DeleteItem = 334;
inline constexpr StringId SelectAllItem = 335;

// The send workflow: the PIN, wait, Send and Choose Recipients dialogs, their
// help texts and the progress lines. None has a number of old either; the
// Send dialog's title and its Send help are the main window's SendCaption
// and SendHelp.
inline constexpr StringId SendLabel = 400; // " Send "
inline constexpr StringId RecipientsLabel = 401;
inline constexpr StringId EmailSettingsLabel = 402;
inline constexpr StringId CostWarning = 403;
inline constexpr StringId CancelHelp = 404;
inline constexpr StringId RecipientsBoxHelp = 405;
inline constexpr StringId SettingsBoxHelp = 406;
inline constexpr StringId OkHelp = 407;
inline constexpr StringId AddLabel = 408; // "To:"
inline constexpr StringId ChooseRecipientsTitle = 409;
inline constexpr StringId ContactsLabel = 410;
inline constexpr StringId NameColumn = 411;
inline constexpr StringId NumberColumn = 412;
inline constexpr StringId NoContactsFound = 413;
inline constexpr StringId AddHelp = 414;
inline constexpr StringId ContactsListHelp = 415;
inline constexpr StringId RecipientsListHelp = 416;
// Why contacts are missing from the list: %1 is one of the two stores, %2 the
// most contacts one store may hold.
inline constexpr StringId PhoneMemoryStore = 417;
inline constexpr StringId SimStore = 418;
inline constexpr StringId StoreNotRead = 419;
inline constexpr StringId StorePastContactsLimit = 426;
inline constexpr StringId PinTitle = 420;
inline constexpr StringId PinLabel = 421;
inline constexpr StringId PinExplanation = 422; // ends with a line break
inline constexpr StringId PinHelp = 423;
inline constexpr StringId InvalidPinCaption = 424;
inline constexpr StringId InvalidPinMessage = 425;
inline constexpr StringId WaitMessage = 430;     // two lines
inline constexpr StringId SendingProgress = 431; // %1 number, %2 index, %3 count
inline constexpr StringId ReadingContacts = 432;
} // namespace strings

// The text of string `id`; empty for a number the table does not hold.
std::string_view stringText(StringId id);

// The text of string `id` with %1, %2, ... replaced by `arguments` in one
// pass (an argument's own "%1" stays as it is).
std::string stringText(StringId id, std::initializer_list<std::string_view> arguments);

} // namespace mailvane::settings
