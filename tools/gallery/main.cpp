// Renders the skinned toolkit into PNG files for a person to look at:
//   mailvane-gallery [skin library] [output folder]
// Without arguments it takes the default skin the build drew (or any
// Graphics_Default.ogr in the build tree) and writes into build/gallery.

#include "GalleryApp.h"
#include "GalleryDialog.h"
#include "GallerySheet.h"
#include "ResourceLibrary.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdlib>

namespace {

QString findDefaultSkin()
{
#ifdef MAILVANE_DEFAULT_SKIN
    if (QFileInfo::exists(QStringLiteral(MAILVANE_DEFAULT_SKIN)))
        return QStringLiteral(MAILVANE_DEFAULT_SKIN);
#endif
    QDirIterator it(QStringLiteral(MAILVANE_BUILD_DIR), {QStringLiteral("Graphics_Default.ogr")},
                    QDir::Files, QDirIterator::Subdirectories);
    return it.hasNext() ? it.next() : QString();
}

bool save(const QImage& image, const QDir& folder, const QString& name, QTextStream& log)
{
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    const bool saved = !image.isNull() && image.save(path);
    log << (saved ? "wrote " : "FAILED ") << path << '\n';
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const QString skinPath = args.size() > 1 ? args.at(1) : findDefaultSkin();
    const QDir output(args.size() > 2 ? args.at(2) : QStringLiteral(MAILVANE_GALLERY_DIR));
    QTextStream log(stdout);
    if (!QDir().mkpath(output.path())) {
        log << "cannot create " << output.path() << '\n';
        return EXIT_FAILURE;
    }

    mailvane::platform::LibraryHandle skin = mailvane::platform::loadResourceLibrary(skinPath);
    if (skin.isEmpty())
        log << "no skin library (" << (skinPath.isEmpty() ? QStringLiteral("none found") : skinPath)
            << "): the dialog is drawn plain\n";
    else
        log << "skin " << skinPath << '\n';

    const QImage dialog = mailvane::gallery::renderSkinnedDialog(skin);
    bool ok = save(dialog, output, QStringLiteral("dialog"), log);
    // The first two buttons enlarged, to judge their soft edges and shape.
    const QImage buttons = dialog.copy(55, 95, 240, 40);
    ok = save(buttons.scaled(buttons.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation),
              output, QStringLiteral("dialog-buttons-zoom"), log) &&
         ok;
    // The main window: each tab skinned, plain without a skin, and at scale 2.
    const mailvane::platform::LibraryHandle plain;
    for (const auto& [library, scale, prefix] :
         {std::tuple{skin, 1.0, QStringLiteral("main-")},
          std::tuple{plain, 1.0, QStringLiteral("main-plain-")},
          std::tuple{skin, 2.0, QStringLiteral("main-x2-")}}) {
        for (const auto& picture : mailvane::gallery::renderMainWindow(library, scale, prefix))
            ok = save(picture.image, output, picture.name, log) && ok;
    }
    mailvane::platform::freeResourceLibrary(skin);

    QTemporaryDir work;
    if (!work.isValid()) {
        log << "no temporary folder for the sample library\n";
        return EXIT_FAILURE;
    }
    const QList<mailvane::gallery::RouteResult> routes =
        mailvane::gallery::renderRoutes(work.path());
    for (const mailvane::gallery::RouteResult& route : routes)
        ok = save(route.image, output, route.name, log) && ok;
    ok = save(mailvane::gallery::contactSheet(routes), output, QStringLiteral("routes"), log) && ok;
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}
