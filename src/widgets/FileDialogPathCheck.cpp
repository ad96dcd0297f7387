#include "FileDialogPathCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace mailvane::widgets {
namespace {

// The longest name the file system under `folder` takes: asked of the
// nearest folder that exists.
long nameMax(QString folder)
{
    while (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        const QString up = QFileInfo(folder).path();
        if (up == folder)
            break;
        folder = up;
    }
    const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return limit > 0 ? limit : FileDialogPathCheck::DefaultNameMax;
}

} // namespace

std::optional<QString> FileDialogPathCheck::problem(const QString& path, bool folderMustExist)
{
    const QFileInfo info(path);
    const QString folder = info.path();
    const qsizetype nameBytes = QFile::encodeName(info.fileName()).size();
    const long limit = nameMax(folder);
    if (nameBytes > limit)
        return QStringLiteral("%1\nThe name is too long: this file system takes names of at most "
                              "%2 bytes.")
            .arg(info.fileName().left(40) + QStringLiteral("..."))
            .arg(limit);
    if (QFile::encodeName(path).size() >= PathMax)
        return QStringLiteral("The path is too long: at most %1 bytes are possible.")
            .arg(PathMax - 1);
    if (folderMustExist && !QFileInfo(folder).isDir())
        return QStringLiteral("%1\nThe folder does not exist. Check its name, or choose a folder "
                              "from the list.")
            .arg(QDir::toNativeSeparators(folder));
    return std::nullopt;
}

} // namespace mailvane::widgets
