#pragma once

// The program's message box: every question, warning and error goes through
// show(). It takes the system message box's flags for the combinations the
// program uses and returns the system's result codes, but paints a skin
// background and bitmap buttons. configure() loads the pictures once at
// start-up; a box shown without that (no skin) still works, plainly painted.

#include "ResourceLibrary.h"

#include <QString>
#include <functional>

class QWidget;

namespace mailvane::widgets {

// Stands in for the module holding the button labels: returns the string-table
// text of an id. An empty function means no module.
using StringModule = std::function<QString(int id)>;

// Picture numbers of the box: background, and left/middle/right of the
// buttons for frame 0 (normal), frame 1 (pressed) and frame 2 (hover).
struct MessageBoxImages
{
    int background = 144;
    int normalLeft = 136;
    int normalMiddle = 120;
    int normalRight = 121;
    int pressedLeft = 125;
    int pressedMiddle = 127;
    int pressedRight = 126;
    int hoverLeft = 122;
    int hoverMiddle = 124;
    int hoverRight = 123;
};

// Control numbers of the buttons and string ids of their labels.
struct MessageBoxButtons
{
    int yesControl = 69;
    int noControl = 70;
    int cancelControl = 71;
    int okControl = 72;
    int yesLabel = 26;
    int noLabel = 27;
    int cancelLabel = 55;
    int okLabel = 54;
};

class SkinMessageBox
{
public:
    // Flags: the low four bits choose the buttons, bits 4 to 7 the icon.
    static constexpr unsigned MbOk = 0x00;
    static constexpr unsigned MbOkCancel = 0x01;
    static constexpr unsigned MbYesNoCancel = 0x03;
    static constexpr unsigned MbYesNo = 0x04;
    static constexpr unsigned MbIconHand = 0x10;
    static constexpr unsigned MbIconExclamation = 0x30;
    static constexpr unsigned MbIconAsterisk = 0x40;
    static constexpr unsigned MbTypeMask = 0x0F;
    static constexpr unsigned MbIconMask = 0xF0;

    // Results of show(). 0 means no box was shown.
    static constexpr int IdOk = 1;
    static constexpr int IdCancel = 2;
    static constexpr int IdYes = 6;
    static constexpr int IdNo = 7;

    // The button sets, numbered as the layout arithmetic counts them.
    enum Layout
    {
        LayoutOk = 0,
        LayoutYesNo = 1,
        LayoutYesNoCancel = 2,
        LayoutOkCancel = 3
    };

    enum class Icon
    {
        None,
        Hand,
        Exclamation,
        Asterisk
    };

    static Layout layoutOf(unsigned flags);
    static Icon iconOf(unsigned flags);

    // Loads the background and, with `loadButtonImages`, the three button
    // picture sets. Returns 0, or −1 when a module is missing or a picture
    // does not load (the pictures are then dropped and boxes are painted
    // plainly). Without button pictures the buttons are plain grey ones.
    static int configure(const StringModule& strings, const platform::LibraryHandle& skin,
                         const MessageBoxImages& images = {}, const MessageBoxButtons& buttons = {},
                         bool loadButtonImages = true);
    // Frees the pictures; boxes shown afterwards are painted plainly.
    static void release();
    static bool isConfigured();

    // Runs a box modally over `owner`. Returns 0 without a box when the owner
    // is null or the text or caption is null; otherwise IdOk, IdCancel, IdYes
    // or IdNo. Closing the box through its title bar returns IdOk whatever
    // the buttons. A MessageBoxHook, when installed, answers instead.
    static int show(QWidget* owner, const QString& text, const QString& caption, unsigned flags);

    // Boxes currently open (a box is listed from its initialisation to its end).
    static int openCount();

    // The object name of a box's window, for tests and style sheets.
    static constexpr const char* WindowObjectName = "SkinMessageBox";
};

} // namespace mailvane::widgets
