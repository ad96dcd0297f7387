#pragma once

#include "StringTable.h"

#include <QString>

namespace mailvane::send {

// The string-table text of `id` for the user interface (the table holds
// ISO-8859-1 bytes).
inline QString text(settings::StringId id)
{
    const std::string_view bytes = settings::stringText(id);
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

} // namespace mailvane::send
