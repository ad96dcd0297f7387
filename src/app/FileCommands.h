#pragma once

// The file commands of the main window: Save, Save As, the save-changes
// question and Open. Each works on the current file name (which it may
// replace) and the record, asks through the skinned message box and file
// dialog, and returns Done, Stopped or, for Open only, InvalidFile.

#include "EmailSettings.h"
#include "ResourceLibrary.h"
#include "StringTable.h"

#include <QString>

class QWidget;

namespace mailvane::app {

class FileCommands
{
public:
    enum Result : int
    {
        Done = 0,
        Stopped = -1,     // cancelled, declined or failed
        InvalidFile = -2, // Open only: the file is not a settings file
    };

    FileCommands(QWidget* owner, const platform::LibraryHandle& skin);

    // Writes to the current file, or asks for one as Save As does.
    int save(QString& currentFile, const settings::EmailSettings& record);
    int saveAs(QString& currentFile, const settings::EmailSettings& record);
    // Asks whether to save the changes: No gives Done; Yes saves and gives
    // the result of that; Cancel (or closing the box) gives Stopped.
    int saveChangesPrompt(QString& currentFile, const settings::EmailSettings& record);
    // Lets the operator choose a file and reads it into `record`, which the
    // caller has cleared. On Done the chosen path is the current file.
    int open(QString& currentFile, settings::EmailSettings& record);
    // Open without the dialog, for a file named on the command line.
    int openPath(const QString& path, QString& currentFile, settings::EmailSettings& record);
    // Reads a file that a later start of the program named into `record`,
    // touching nothing else: the running window is replaced only by a file
    // that reads. Its messages name the file, which nobody chose here.
    int readForwarded(const QString& path, settings::EmailSettings& record);

private:
    // The save dialog; an empty string when cancelled.
    QString askSavePath();
    // Whether the file may be replaced: asked only when it exists.
    bool mayReplace(const QString& path, const QString& shownName);
    // Writes and reports a failure; Done or Stopped.
    int write(const QString& path, const settings::EmailSettings& record);
    // Writes to a newly chosen path, which becomes the current file only
    // when the write succeeded.
    int writeAs(const QString& path, QString& currentFile, const settings::EmailSettings& record);
    int ask(const QString& text, settings::StringId caption, unsigned flags);
    // Reads `path` into `record`; a failure's message ends with `suffix`.
    int read(const QString& path, settings::EmailSettings& record, const QString& suffix);

    QWidget* m_owner;
    platform::LibraryHandle m_skin;
};

} // namespace mailvane::app
