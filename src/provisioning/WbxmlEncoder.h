#pragma once

#include "TokenTables.h"
#include "WbxmlLimits.h"

#include <optional>
#include <string>
#include <string_view>

namespace mailvane::provisioning::wbxml {

// The WBXML hexadecimal text of the provisioning `document`, translated with
// `tables` from code page 0 on. Made for the builder's line-per-element shape,
// not for XML at large. Nothing when the document cannot be encoded
// faithfully: a line that is not a well-formed element of that shape, a tag,
// first attribute value or second attribute name the tables lack, an item
// past its limit, a value holding a NUL byte, or output past MaxWbxmlDigits.
std::optional<std::string> encode(std::string_view document, const TokenTables& tables);

} // namespace mailvane::provisioning::wbxml
