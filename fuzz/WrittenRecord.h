#pragma once

// What the settings file writer keeps of a record, for targets that check a
// record survives being written and read back.

#include "SettingsFields.h"

namespace mailvane::fuzz {

// The writer leaves out empty text values (an empty value read from a file
// comes back absent; both mean "not set"), and it writes a direction's bearer
// fields only under its data bearer, and only those of that bearer.
inline settings::EmailSettings asWritten(settings::EmailSettings record)
{
    using namespace settings;
    for (ConnectionSettings* group : {&record.incoming, &record.outgoing}) {
        const bool bearer = group->dataBearer.has_value();
        const bool gprs = bearer && *group->dataBearer == values::Gprs;
        if (!bearer || gprs) {
            group->gsmDialUpNumber.reset();
            group->gsmDataCallType.reset();
            group->gsmDataCallSpeed.reset();
        }
        if (!gprs)
            group->gprsAccessPoint.reset();
        if (!bearer) {
            group->bearerUsername.reset();
            group->bearerPassword.reset();
            group->bearerAuthenticationType.reset();
        }
    }
    for (const FieldInfo& spec : allFields()) {
        if (spec.kind != FieldKind::Text && spec.kind != FieldKind::CallSpeed)
            continue;
        TextField& field = textValue(spec, record);
        if (!isNonEmpty(field))
            field.reset();
    }
    return record;
}

} // namespace mailvane::fuzz
