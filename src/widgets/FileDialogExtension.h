#pragma once

// The save dialog's extension rule: when the user picks another file type
// while the typed name has an extension, the extension becomes the new
// type's first one, and that becomes the request's default extension.

#include <QString>
#include <optional>

namespace mailvane::widgets {

struct ExtensionAdjustment
{
    QString defaultExtension;    // the request's default extension afterwards
    std::optional<QString> name; // the text for the file-name box, when it changes
};

class FileDialogExtension
{
public:
    // `typedName` is the file-name box's text, `pattern` the selected type's
    // pattern ("*.txt", "*.txt;*.text", "*"), `requestName` the request's
    // file name and `defaultExtension` the request's default extension.
    // A name without an extension, and a type without a fixed extension
    // ("*", "*.*"), leave both alone. In a typed path only the last
    // component's extension counts.
    static ExtensionAdjustment adjust(const QString& typedName, const QString& pattern,
                                      const QString& requestName, const QString& defaultExtension);
};

} // namespace mailvane::widgets
