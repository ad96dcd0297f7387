#pragma once

// Keeps one of Qt's file dialogs for reuse. Building a non-native file dialog
// (its file-system model, side bar and completer) takes longer than the rest
// of showing the skinned dialog together; reusing one keeps the dialog quick
// to appear. The kept dialog is deleted when the application object goes.

class QWidget;

namespace mailvane::widgets {

class EmbeddedFileDialog;

class FileDialogPool
{
public:
    // A dialog embedded in `parent`: the kept one when it is free, else a new one.
    static EmbeddedFileDialog* take(QWidget* parent);
    // Takes the dialog back out of its parent; it is kept, or deleted when
    // another is kept already.
    static void give(EmbeddedFileDialog* dialog);
};

} // namespace mailvane::widgets
