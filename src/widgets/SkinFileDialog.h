#pragma once

// The open and save dialog. It shows Qt's own (non-native) file dialog inside
// a frame painted from eight bitmaps of the skin library: a top bar, a left
// bar and a decoration row above the file list. In save mode the extension of
// the typed name follows the chosen file type. When a frame bitmap is missing
// the plain file dialog is shown.

#include "FileDialogRequest.h"
#include "ResourceLibrary.h"

#include <QString>

class QWidget;

namespace mailvane::widgets {

class SkinFileDialog
{
public:
    enum class Mode
    {
        Open,
        Save
    };

    // Results of open() and save().
    static constexpr int Chosen = 1;
    static constexpr int Cancelled = 2;
    static constexpr int Failed = -1;

    // The bitmap names of the frame, in the order the callers give them.
    struct FrameNames
    {
        QString topRight;
        QString top;
        QString topLeft;
        QString leftBottom;
        QString left;
        QString decorationLeft;
        QString decorationMiddle;
        QString decorationRight;

        // "OPENSAVE_..." names, used when a caller gives none.
        static FrameNames defaults();
        // The names the settings file commands use ("IDB_BAR_TOP", ...).
        static FrameNames settingsCommands();
        bool given() const { return !topRight.isEmpty() && !decorationRight.isEmpty(); }
    };

    // Run the dialog modally over `parent`. `request` is read, and on return
    // holds the chosen path in fileName (and the filter index and default
    // extension as the dialog left them). Returns Chosen, Cancelled, or Failed
    // when the dialog ended without a name to return. A name that cannot be
    // used (its folder missing where the request asks for an existing path,
    // a name or path longer than the file system takes) is refused inside
    // the dialog with a message; no other limit holds a path's length. When
    // `names` are not given the default names are looked up in `module`. A
    // FileDialogHook, when installed, answers instead of a window.
    static int open(FileDialogRequest& request, const platform::LibraryHandle& module,
                    const FrameNames& names = {}, QWidget* parent = nullptr);
    static int save(FileDialogRequest& request, const platform::LibraryHandle& module,
                    const FrameNames& names = {}, QWidget* parent = nullptr);

    // The object name of the dialog window, for tests.
    static constexpr const char* WindowObjectName = "COrvexFileDialog";

private:
    static int run(Mode mode, FileDialogRequest& request, const platform::LibraryHandle& module,
                   const FrameNames& names, QWidget* parent);
};

} // namespace mailvane::widgets
