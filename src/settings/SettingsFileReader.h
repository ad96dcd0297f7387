#pragma once

// Reads a settings file into an EmailSettings record: one "key: value" per
// line, keys matched without regard to case, blanks or tabs.

#include "EmailSettings.h"
#include "SettingsFields.h"

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace mailvane::settings {

// Largest settings file read. A file the program writes is a few kilobytes;
// this leaves room for any comments people add, and stops a gigabyte of
// random bytes from being read in before it is found wrong.
inline constexpr std::size_t MaxSettingsFileBytes = 1024 * 1024;

enum class ReadStatus
{
    Success,
    CannotOpen, // the file cannot be opened or read; ReadResult::systemError says why
    Invalid,    // ReadResult::line and ::defect say where and what
    TooLarge,   // the file holds more than MaxSettingsFileBytes
};

enum class LineDefect
{
    None,
    MissingColon,
    UnknownKey,
    ValueTooLong,
    NulByte, // a settings file is text; a NUL would silently cut the value short
};

struct ReadResult
{
    ReadStatus status = ReadStatus::Success;
    std::size_t line = 0; // 1-based number of the line that made the file invalid
    LineDefect defect = LineDefect::None;
    int systemError = 0; // errno when the file cannot be opened or read

    bool ok() const { return status == ReadStatus::Success; }
};

// Applies every line of `text` to `record`, which is not cleared first.
// Stops at the first invalid line; fields set by earlier lines stay set.
// A text longer than MaxSettingsFileBytes is refused before any line is read.
ReadResult readSettingsText(std::string_view text, EmailSettings& record);

// Reads the file at `path` into `record` as readSettingsText does. A file
// found longer than MaxSettingsFileBytes stops the reading there (fields of
// the lines before stay set, as with an invalid line).
ReadResult readSettingsFile(const std::filesystem::path& path, EmailSettings& record);

enum class ValueOutcome
{
    Applied,
    TooLong,     // longer than the key's limit: the field is left as it was
    UnknownWord, // a flag or choice word none of the field's (a call speed is cleared)
};

// Sets one field from the value of a line "key: value", as the reader does:
// leading white space dropped, the key's length limit, the value words.
// Only for fields the reader accepts (findReadableField).
ValueOutcome applyFieldValue(const FieldInfo& spec, std::string_view value, EmailSettings& record);

// A short English description of a defect, for people.
std::string_view describeDefect(LineDefect defect);

} // namespace mailvane::settings
