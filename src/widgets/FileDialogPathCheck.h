#pragma once

// Whether a path chosen in the file dialog can be used at all, checked before
// the dialog closes so that the user can correct it there: the folder must
// exist when the request asks for that, and neither the name nor the whole
// path may be longer than the file system takes. There is no fixed buffer
// behind the dialog: any other path, however long, is accepted.

#include <QString>
#include <climits>
#include <optional>

namespace mailvane::widgets {

class FileDialogPathCheck
{
public:
    // The system's limits, used where the file system does not say its own.
    static constexpr long DefaultNameMax = NAME_MAX;
    static constexpr long PathMax = PATH_MAX; // with the terminator

    // Nothing when `path` (absolute) can be used; else what to tell the user.
    static std::optional<QString> problem(const QString& path, bool folderMustExist);
};

} // namespace mailvane::widgets
