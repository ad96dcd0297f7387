#pragma once

// Writes an EmailSettings record as a settings file: fixed comment lines and
// one "Key: value" line per non-empty field, every line ended by CR LF.

#include "EmailSettings.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace mailvane::settings {

enum class WriteStatus
{
    Success,
    CannotOpen,      // the file (or its temporary sibling) cannot be created
    WriteFailed,     // writing, flushing or replacing failed (disk full, ...)
    UnwritableValue, // a text value holds CR, LF or NUL, which cannot be read back
};

struct WriteResult
{
    WriteStatus status = WriteStatus::Success;
    int systemError = 0; // errno of the failing call, when there was one

    bool ok() const { return status == WriteStatus::Success; }
};

// The exact bytes of the settings file for `record`.
std::string settingsFileText(const EmailSettings& record);

// Whether `value` can be written on one line and read back: it holds no CR,
// LF or NUL.
bool isWritableValue(std::string_view value);

// Whether every present text value can be written on one line and read back.
bool hasOnlyWritableValues(const EmailSettings& record);

// Replaces the file at `path` with settingsFileText(record). On any failure
// the earlier file, if there was one, is left as it was.
WriteResult writeSettingsFile(const std::filesystem::path& path, const EmailSettings& record);

} // namespace mailvane::settings
