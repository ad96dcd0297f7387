#pragma once

// The text that shows every setting before a send, passwords as asterisks.

#include "EmailSettings.h"

#include <string>

namespace mailvane::settings {

// Builds the summary of `record`: single-byte text, every line ended by CR LF.
// `Incoming Server Type` is expected to be present (it is once the record has
// been reset or opened); an absent type is taken as IMAP4, the type such a
// record gets when it is opened.
std::string buildSummary(const EmailSettings& record);

} // namespace mailvane::settings
