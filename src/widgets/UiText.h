#pragma once

// The bridge between the record's single-byte texts (ISO-8859-1) and Qt's
// strings, and string-table look-ups as QString.

#include "StringTable.h"

#include <QString>
#include <string>
#include <string_view>

namespace mailvane::widgets {

inline QString uiText(settings::StringId id)
{
    const std::string_view text = settings::stringText(id);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString fromRecordText(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Whether every character of `text` has a single-byte form in the record.
bool isLatin1(const QString& text);

// The record's form of `text`; only for texts for which isLatin1() holds.
std::string toRecordText(const QString& text);

} // namespace mailvane::widgets
