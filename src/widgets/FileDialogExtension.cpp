#include "FileDialogExtension.h"

#include <QRegularExpression>

namespace mailvane::widgets {

ExtensionAdjustment FileDialogExtension::adjust(const QString& typedName, const QString& pattern,
                                                const QString& requestName,
                                                const QString& defaultExtension)
{
    ExtensionAdjustment result{defaultExtension, std::nullopt};
    // Only the name counts: a point in a folder's name is no extension.
    const qsizetype nameStart = typedName.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype point = typedName.lastIndexOf(QLatin1Char('.'));
    if (point < nameStart)
        return result; // no extension to keep in step
    const QString stem = typedName.left(point);

    // The pattern's first extension: skip the leading "*", stop at the next
    // pattern.
    QString extension = pattern.mid(1);
    const qsizetype end = extension.indexOf(QRegularExpression(QStringLiteral("[|;]")));
    if (end >= 0)
        extension.truncate(end);
    // "*" and "*.*" name no extension; the typed one stays.
    if (!extension.startsWith(QLatin1Char('.')) || extension.size() < 2 ||
        extension.at(1) == QLatin1Char('*'))
        return result;

    result.defaultExtension = extension.mid(1);
    const QString name = stem + extension;
    if (name != requestName && name != typedName)
        result.name = name;
    return result;
}

} // namespace mailvane::widgets
