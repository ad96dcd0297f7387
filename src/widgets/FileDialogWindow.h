#pragma once

// The skinned file dialog's window: Qt's own file dialog embedded as a child
// over a frame painted from the skin. The standard controls keep their own
// layout; the frame moves the whole dialog inside the bars, raises the
// folder row onto the decoration band and draws the folder label itself.

#include "FileDialogFrame.h"
#include "SkinFileDialog.h"

#include <QDialog>

class QFileDialog;
class QTimer;

namespace mailvane::widgets {

class EmbeddedFileDialog;

class FileDialogWindow : public QDialog
{
    Q_OBJECT

public:
    static constexpr int FolderChangeDelayMs = 1;
    // The size the dialog opens with, room for a long name beside the size,
    // type and date columns; it may be made larger, or smaller down to what
    // the embedded dialog needs.
    static constexpr QSize FileAreaSize{760, 420};

    // `frame` null shows the plain file dialog; otherwise the frame must be valid.
    FileDialogWindow(SkinFileDialog::Mode mode, FileDialogRequest& request,
                     const FileDialogFrame* frame, QWidget* parent);
    ~FileDialogWindow() override;

    QFileDialog* fileDialog() const;
    bool isSkinned() const { return m_skinned; }
    const FileDialogFrameLayout& frameLayout() const { return m_layout; }
    // Runs modally; Chosen, Cancelled or Failed, with the request updated.
    int run();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void placeControls();
    void setUpColumns();
    bool acceptsPath(const QString& path);
    QSize frameSize() const;
    void computeLayout();
    void onFilterSelected(const QString& filter);
    void onFolderChanged();
    void onFolderTimer();
    int finish(int code);

    SkinFileDialog::Mode m_mode;
    FileDialogRequest& m_request;
    FileDialogFrame m_frame;
    bool m_skinned;
    EmbeddedFileDialog* m_files;
    QTimer* m_folderTimer;
    FileDialogFrameLayout m_layout;
    bool m_placed = false;
};

} // namespace mailvane::widgets
