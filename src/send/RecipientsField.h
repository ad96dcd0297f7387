#pragma once

#include <QString>

namespace mailvane::send {

// The recipients field after appending a chosen "num;num;..." text to it: a
// "; " goes between unless the field is empty or already ends with a ";"
// followed by blanks and tabs only. Numbers already there are not looked at.
QString appendChosenRecipients(const QString& field, const QString& chosen);

} // namespace mailvane::send
