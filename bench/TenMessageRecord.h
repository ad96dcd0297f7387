#pragma once

#include "EmailSettings.h"

#include <filesystem>
#include <optional>

namespace mailvane::bench {

inline constexpr const char* Pin = "1234";
inline constexpr unsigned PushMessages = 10;

// The token table and example folder of the source tree the benchmark was built from.
std::filesystem::path tokenTablePath();

// A realistic record (the POP3 example with proxies), its reply-to address lengthened until
// the push for Pin takes exactly PushMessages text messages; nothing when that cannot be
// reached. A `To` number, when given, is set before measuring.
std::optional<settings::EmailSettings> tenMessageRecord(const char* to = nullptr);

} // namespace mailvane::bench
