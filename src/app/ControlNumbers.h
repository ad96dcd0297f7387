#pragma once

// The control numbers of the main window's template (102) and its menu
// (129); each settings page holds its own. The numbers are what help tables
// and tests name controls by.

namespace mailvane::app {

namespace templates {
inline constexpr int MainWindow = 102;
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

} // namespace mailvane::app
