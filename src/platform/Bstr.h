#pragma once

// BSTR stand-in: a UTF-16 string owned by value, so there is nothing to free.

#include <string>
#include <string_view>

namespace mailvane::platform {

using BSTR = std::u16string;

// The record's texts are single-byte ISO-8859-1; each byte is one UTF-16 unit.
BSTR bstrFromLatin1(std::string_view text);

// UTF-8 in, UTF-16 out; malformed sequences become U+FFFD.
BSTR bstrFromUtf8(std::string_view text);

// UTF-16 in, UTF-8 out; unpaired surrogates become U+FFFD.
std::string bstrToUtf8(const BSTR& text);

} // namespace mailvane::platform
