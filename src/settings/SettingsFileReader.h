#pragma once

// Reads a settings file into an EmailSettings record: one "key: value" per
// line, keys matched without regard to case, blanks or tabs.

#include "EmailSettings.h"

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace mailvane::settings {

enum class ReadStatus
{
    Success,
    CannotOpen, // the file cannot be opened or read; ReadResult::systemError says why
    Invalid,    // ReadResult::line and ::defect say where and what
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
ReadResult readSettingsText(std::string_view text, EmailSettings& record);

// Reads the file at `path` into `record` as readSettingsText does.
ReadResult readSettingsFile(const std::filesystem::path& path, EmailSettings& record);

// A short English description of a defect, for people.
std::string_view describeDefect(LineDefect defect);

} // namespace mailvane::settings
