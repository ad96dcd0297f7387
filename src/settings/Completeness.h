#pragma once

// The completeness test spelled out: which required fields a record lacks.
// The Send command is enabled exactly when nothing is missing.

#include "SettingsFields.h"

#include <vector>

namespace mailvane::settings {

struct MissingField
{
    FieldId field;  // the field that must be filled in
    FieldId reason; // the field whose value makes it required
};

// The missing fields, outgoing rules before incoming ones as the test runs
// them; empty for a complete record.
std::vector<MissingField> missingFields(const EmailSettings& record);

// "Incoming Server (required by Incoming Port)" for each missing field,
// joined by "; ". Empty for a complete record.
std::string describeMissingFields(const EmailSettings& record);

} // namespace mailvane::settings
