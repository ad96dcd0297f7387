#pragma once

// What a caller asks of the file dialog and gets back: the fields of the
// platform's open-file-name structure that the program fills. The dialog
// works on a copy and copies it back when it ends.

#include <QList>
#include <QString>

namespace mailvane::widgets {

struct FileFilter
{
    QString description; // "Text Files"
    QString pattern;     // "*.txt"; several patterns separated by ';'
};

struct FileDialogRequest
{
    // Flag values of the platform's structure that the dialog honours.
    static constexpr unsigned OfnOverwritePrompt = 0x0002;
    static constexpr unsigned OfnHideReadOnly = 0x0004;
    static constexpr unsigned OfnPathMustExist = 0x0800;
    static constexpr unsigned OfnFileMustExist = 0x1000;

    unsigned flags = 0;
    QString fileName; // in: the proposed name; out: the chosen path
    QList<FileFilter> filters;
    int filterIndex = 1; // 1-based, as the platform counts
    QString defaultExtension;
    QString initialDirectory;
    QString title;

    // What the settings file commands ask for: text files first, existing
    // folders only, the read-only box hidden, ".txt" added to a bare name.
    static FileDialogRequest settingsFile();
};

} // namespace mailvane::widgets
