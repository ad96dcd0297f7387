#pragma once

// Answers file dialogs in tests without showing a window. While a hook is
// alive, SkinFileDialog records each request and answers with the next
// prepared choice (a path, or a cancel). One hook at a time per process.

#include "SkinFileDialog.h"

#include <QList>
#include <QString>
#include <optional>

namespace mailvane::widgets {

struct FileDialogCall
{
    SkinFileDialog::Mode mode = SkinFileDialog::Mode::Open;
    FileDialogRequest request; // as the caller filled it
};

class FileDialogHook
{
public:
    FileDialogHook();
    ~FileDialogHook();
    FileDialogHook(const FileDialogHook&) = delete;
    FileDialogHook& operator=(const FileDialogHook&) = delete;

    // Queue the answer to the next dialog: a chosen path, or a cancel. With
    // nothing queued a dialog is cancelled.
    void choose(const QString& path);
    void cancel();

    const QList<FileDialogCall>& calls() const { return m_calls; }
    void clear() { m_calls.clear(); }

    static FileDialogHook* current();
    // Records the call; returns the chosen path, or nothing for a cancel.
    std::optional<QString> take(const FileDialogCall& call);

private:
    QList<std::optional<QString>> m_answers;
    QList<FileDialogCall> m_calls;
    FileDialogHook* m_previous;
};

} // namespace mailvane::widgets
