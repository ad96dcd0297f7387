#pragma once

#include "EmailSettings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mailvane::test {

struct NamedRecord
{
    std::string name;
    settings::EmailSettings record;
};

// Records a user would prepare: IMAP4 over GPRS, POP3 over GSM data with
// proxies, outgoing only.
std::vector<NamedRecord> realisticRecords();

// Every text field filled to its limit with `fill` (cycled), proxies and a
// bearer on both sides (GPRS out, GSM data in), every flag and choice set so
// that it writes the most lines.
settings::EmailSettings maximalRecord(const std::string& fill = "abcdefghijklmnopqrstuvwxyz");

// A record whose fields are absent, empty or filled at random (any length up to
// the field's limit, with markup characters, bytes from 0x80 up and words of
// the token table among them). The same seed gives the same record.
settings::EmailSettings generatedRecord(std::uint32_t seed);

} // namespace mailvane::test
