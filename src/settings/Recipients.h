#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mailvane::settings {

// The numbers of a recipients text "num;num;...", in order: blanks and tabs
// removed, empty pieces skipped.
std::vector<std::string> splitRecipients(std::string_view text);

} // namespace mailvane::settings
