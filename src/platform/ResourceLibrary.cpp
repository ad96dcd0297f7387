#include "ResourceLibrary.h"

#include "ResourceBundleCheck.h"

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

// The bytes of each registered bundle: the resource system reads them in
// place until the bundle is unregistered. Holding the checked copy, rather
// than registering the file by name, means what was checked is what is read.
QHash<QString, QByteArray>& loadedBundles()
{
    static QHash<QString, QByteArray> bundles; // handle -> bundle bytes
    return bundles;
}

const uchar* bytesOf(const QByteArray& bundle)
{
    return reinterpret_cast<const uchar*>(bundle.constData());
}

} // namespace

LibraryHandle loadResourceLibrary(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || file.size() > MaxResourceBundleBytes ||
        !file.open(QIODevice::ReadOnly))
        return {};
    // Read one byte past the limit: a file that grew since is still caught.
    return loadResourceLibraryData(file.read(MaxResourceBundleBytes + 1));
}

LibraryHandle loadResourceLibraryData(const QByteArray& bundle)
{
    if (!isSoundResourceBundle(bundle))
        return {};
    const QString root = newRoot();
    const LibraryHandle handle = QLatin1Char(':') + root;
    // Registered from a copy of our own (the caller's array may not own its
    // bytes), which stays put while it is held.
    const QByteArray& stored =
        *loadedBundles().insert(handle, QByteArray(bundle.constData(), bundle.size()));
    if (!QResource::registerResource(bytesOf(stored), root)) {
        loadedBundles().remove(handle);
        return {};
    }
    return handle;
}

void freeResourceLibrary(LibraryHandle& handle)
{
    if (handle.isEmpty())
        return;
    const auto bundle = loadedBundles().constFind(handle);
    if (bundle != loadedBundles().constEnd()) {
        QResource::unregisterResource(bytesOf(*bundle), handle.mid(1));
        loadedBundles().erase(bundle);
    }
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
