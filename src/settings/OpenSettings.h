#pragma once

// What File > Open leaves in the record: the file's fields plus the defaults
// that the window fills in for what the file leaves out.

#include "EmailSettings.h"
#include "SettingsFileReader.h"

#include <filesystem>

namespace mailvane::settings {

// Completes a record that has just been read from a file: `Outgoing Port`
// "25" when absent; then the server type and what depends on it: POP3 only
// when the file says so (without `Retrieve Method`, port "110" when absent),
// otherwise IMAP4 (without `Secure Login`, port "143" when absent).
void applyOpenDefaults(EmailSettings& record);

// Clears `record` and reads the file into it. On success the open defaults
// are applied; on failure the record is reset to defaults, as the window does.
ReadResult openSettingsFile(const std::filesystem::path& path, EmailSettings& record);

} // namespace mailvane::settings
