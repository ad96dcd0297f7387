#include "ResourceLibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QResource>
#include <atomic>

namespace mailvane::platform {
namespace {

// Each load gets its own root so that two skins never shadow one another.
QString newRoot()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("/mailvane-library-%1").arg(++counter);
}

QHash<QString, QString>& loadedFiles()
{
    static QHash<QString, QString> files; // handle -> bundle file
    return files;
}

QString filePathOf(const LibraryHandle& handle)
{
    return loadedFiles().value(handle);
}

} // namespace

LibraryHandle loadResourceLibrary(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return {};
    const QString root = newRoot();
    if (!QResource::registerResource(path, root))
        return {};
    const LibraryHandle handle = QLatin1Char(':') + root;
    loadedFiles().insert(handle, path);
    return handle;
}

void freeResourceLibrary(LibraryHandle& handle)
{
    if (handle.isEmpty())
        return;
    const QString path = filePathOf(handle);
    if (!path.isEmpty())
        QResource::unregisterResource(path, handle.mid(1));
    loadedFiles().remove(handle);
    handle.clear();
}

QString findResource(const LibraryHandle& handle, const QString& type, const QString& name)
{
    if (handle.isEmpty() || name.isEmpty())
        return {};
    const QDir folder(handle + QLatin1Char('/') + type);
    const QStringList matches =
        folder.entryList({name, name + QStringLiteral(".*")}, QDir::Files, QDir::Name);
    for (const QString& match : matches) {
        if (QFileInfo(match).completeBaseName() == name || match == name)
            return folder.filePath(match);
    }
    return {};
}

QByteArray loadResourceData(const LibraryHandle& handle, const QString& type, const QString& name)
{
    const QString path = findResource(handle, type, name);
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QStringList resourceTypes(const LibraryHandle& handle)
{
    if (handle.isEmpty())
        return {};
    return QDir(handle).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace mailvane::platform
