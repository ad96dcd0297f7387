#include "SkinLibraryLocator.h"

#include "ProgramLocation.h"
#include "ProgramSettings.h"

#include <QDir>

namespace mailvane::skin {
namespace {

QString withinLimit(const QString& value)
{
    return value.size() > SkinPathLimit ? QString() : value;
}

} // namespace

QString composeSkinLibraryPath(const QString& resourcePath, const QString& currentResource)
{
    const QString path = withinLimit(resourcePath) + QDir::separator() +
                         QLatin1String(SkinLibraryPrefix) + withinLimit(currentResource) +
                         QLatin1String(SkinLibraryExtension);
    return withinLimit(path);
}

QString locateSkinLibrary()
{
    const QString folder =
        QString::fromStdString(platform::readProgramSetting(ResourcePathSetting));
    const QString skin =
        QString::fromStdString(platform::readProgramSetting(CurrentResourceSetting));
    // Without either value the settings are as good as absent.
    if (folder.isEmpty() && skin.isEmpty())
        return {};
    // The installed settings name the skin folder relative to the program, so
    // that the same file serves any install prefix and an unpacked package.
    if (QDir::isRelativePath(folder) && !folder.isEmpty()) {
        const QString programDir = QString::fromStdString(platform::programDirectory().string());
        if (programDir.isEmpty())
            return {};
        return composeSkinLibraryPath(QDir::cleanPath(programDir + QLatin1Char('/') + folder),
                                      skin);
    }
    return composeSkinLibraryPath(folder, skin);
}

platform::LibraryHandle loadSkinLibrary()
{
    const QString path = locateSkinLibrary();
    if (path.isEmpty())
        return {};
    return platform::loadResourceLibrary(path);
}

} // namespace mailvane::skin
