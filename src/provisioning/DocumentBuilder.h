#pragma once

#include "EmailSettings.h"

#include <optional>
#include <string>

namespace mailvane::provisioning {

// Longest document (and section) the builder produces, in characters.
inline constexpr std::size_t MaxDocumentLength = 8191;

// Builds the line-per-element provisioning document for `record` (LF line ends).
// Returns nothing when the document would pass MaxDocumentLength.
std::optional<std::string> buildDocument(const settings::EmailSettings& record);

} // namespace mailvane::provisioning
