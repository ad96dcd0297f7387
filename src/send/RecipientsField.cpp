#include "RecipientsField.h"

namespace mailvane::send {

QString appendChosenRecipients(const QString& field, const QString& chosen)
{
    if (chosen.isEmpty())
        return field;
    if (field.isEmpty())
        return chosen;
    const qsizetype lastSeparator = field.lastIndexOf(u';');
    bool needsSeparator = lastSeparator < 0;
    if (!needsSeparator) {
        for (const QChar c : QStringView(field).mid(lastSeparator + 1)) {
            if (c != u' ' && c != u'\t') {
                needsSeparator = true;
                break;
            }
        }
    }
    return needsSeparator ? field + QStringLiteral("; ") + chosen : field + chosen;
}

} // namespace mailvane::send
