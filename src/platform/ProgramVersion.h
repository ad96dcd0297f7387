#pragma once

// The program file's version record. The build embeds the four-part file
// version in the program as a marked string in a section of its own; the
// About box reads it back from the file on disk, as it would read a version
// resource (VersionRecord.h embeds it).

#include "VersionRecord.h"

#include <QString>
#include <array>
#include <optional>

namespace mailvane::platform {

using FileVersion = std::array<int, 4>;

class ProgramVersion
{
public:
    // The program file named by a command line or program path text: up to
    // the first double quote, or between the first two when it starts with one.
    static QString programFileOf(const QString& commandLine);

    // The four-part version recorded in `file`; nothing when the file cannot
    // be read or holds no record.
    static std::optional<FileVersion> readFileVersion(const QString& file);

    // The process's command line, the program's path quoted first.
    static QString commandLine();
};

} // namespace mailvane::platform
