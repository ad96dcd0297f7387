#pragma once

// The main window's current settings file name. Constructing it performs the
// OLE initialisation the phone link relies on (a stand-in that does nothing
// here); it is the main window's first member, so that this happens before
// the phone link exists.

#include <QString>

namespace mailvane::app {

class CurrentFile
{
public:
    CurrentFile();

    QString& path() { return m_path; }
    const QString& path() const { return m_path; }

private:
    QString m_path;
};

} // namespace mailvane::app
