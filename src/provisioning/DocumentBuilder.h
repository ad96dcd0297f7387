#pragma once

#include "EmailSettings.h"

#include <optional>
#include <string>
#include <string_view>

namespace mailvane::provisioning {

// Longest document (and section) the builder produces, in characters, counting
// each value at its own length rather than its escaped one.
inline constexpr std::size_t MaxDocumentLength = 8191;

// Builds the line-per-element provisioning document for `record` (LF line ends).
// Field values are written with &, ", < and > as entities so that every byte of
// them survives the line-oriented encoder. An absent `Incoming Server Type`
// counts as IMAP4, the record's default. Returns nothing when the document
// would pass MaxDocumentLength (the encoder's limits then guard the rest).
std::optional<std::string> buildDocument(const settings::EmailSettings& record);

// Appends `value` to `out` with & (first), ", < and > written as entities;
// returns how many characters the entities added.
std::size_t appendEscaped(std::string& out, std::string_view value);

} // namespace mailvane::provisioning
