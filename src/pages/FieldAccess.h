#pragma once

// Making a field absent through the field table, whatever its kind.

#include "SettingsFields.h"

#include <variant>

namespace mailvane::pages {

inline void clearField(const settings::FieldInfo& spec, settings::EmailSettings& record)
{
    std::visit([&record](const auto& access) { access.ref(record).reset(); }, spec.access);
}

inline void clearField(const settings::FieldInfo& spec, settings::ConnectionSettings& group)
{
    std::visit([&group](const auto& access) { access.ref(group).reset(); }, *spec.groupAccess);
}

inline void clearField(settings::FieldId id, settings::EmailSettings& record)
{
    clearField(settings::fieldInfo(id), record);
}

inline void clearField(settings::GroupField field, settings::ConnectionSettings& group)
{
    clearField(settings::groupFieldInfo(field), group);
}

} // namespace mailvane::pages
