// Renders the skinned toolkit into PNG files for a person to look at:
//   mailvane-gallery [skin library] [output folder]
// Without arguments it takes the default skin the build drew (or any
// Graphics_Default.ogr in the build tree) and writes into build/gallery.

#include "GalleryApp.h"
#include "GalleryDialog.h"
#include "GallerySend.h"
#include "GallerySheet.h"
#include "GalleryToolkit.h"
#include "ResourceLibrary.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
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

    // A second run of this program at scale factor 2 renders the HiDPI pictures.
    if (args.size() > 3 && args.at(3) == QLatin1String("--scaled")) {
        bool scaledOk = true;
        for (const auto& [name, image] : mailvane::gallery::renderScaled(skin))
            scaledOk = save(image, output, name, log) && scaledOk;
        for (const auto& picture :
             mailvane::gallery::renderMainWindow(skin, 2.0, QStringLiteral("main-x2-")))
            scaledOk = save(picture.image, output, picture.name, log) && scaledOk;
        mailvane::platform::freeResourceLibrary(skin);
        return scaledOk ? EXIT_SUCCESS : EXIT_FAILURE;
    }

    const QImage dialog = mailvane::gallery::renderSkinnedDialog(skin);
    bool ok = save(dialog, output, QStringLiteral("dialog"), log);
    // The first two buttons enlarged, to judge their soft edges and shape.
    const QImage buttons = dialog.copy(55, 95, 240, 40);
    ok = save(buttons.scaled(buttons.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation),
              output, QStringLiteral("dialog-buttons-zoom"), log) &&
         ok;
    for (const auto& [name, image] : mailvane::gallery::renderToolkit(skin))
        ok = save(image, output, name, log) && ok;
    for (const auto& [name, image] : mailvane::gallery::renderSend(skin))
        ok = save(image, output, name, log) && ok;
    // The main window with each tab, skinned and plain (scale 2 in the run below).
    const mailvane::platform::LibraryHandle plain;
    for (const auto& [library, prefix] : {std::pair{skin, QStringLiteral("main-")},
                                          std::pair{plain, QStringLiteral("main-plain-")}}) {
        for (const auto& picture : mailvane::gallery::renderMainWindow(library, 1.0, prefix))
            ok = save(picture.image, output, picture.name, log) && ok;
    }
    mailvane::platform::freeResourceLibrary(skin);
    QProcess scaled;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    scaled.setProcessEnvironment(environment);
    scaled.setProcessChannelMode(QProcess::ForwardedChannels);
    scaled.start(QApplication::applicationFilePath(),
                 {skinPath, output.path(), QStringLiteral("--scaled")});
    ok = scaled.waitForFinished(120000) && scaled.exitCode() == EXIT_SUCCESS && ok;

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
