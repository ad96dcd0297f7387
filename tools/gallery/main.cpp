// Renders the skinned toolkit into PNG files for a person to look at:
//   mailvane-gallery [skin library] [output folder]
// It runs itself three times more: at scale factor 2 (pictures named *scale2*
// and main-x2-*), at the fractional scale 1.5 that desktops offer (main-x1.5-*
// and x1.5-* of the send dialogs) and with a dark desktop palette (dark-*).
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
#include <QPalette>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdlib>

namespace {

constexpr qreal FractionalScale = 1.5;

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

// A desktop theme with light text on dark surfaces, as dark themes set it.
QPalette darkPalette()
{
    QPalette dark;
    const QColor window(45, 45, 48), text(230, 230, 230), base(30, 30, 32);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, QColor(58, 58, 62));
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::BrightText, Qt::white);
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::PlaceholderText, QColor(140, 140, 140));
    dark.setColor(QPalette::Light, QColor(80, 80, 84));
    dark.setColor(QPalette::Midlight, QColor(66, 66, 70));
    dark.setColor(QPalette::Mid, QColor(40, 40, 42));
    dark.setColor(QPalette::Dark, QColor(25, 25, 27));
    dark.setColor(QPalette::Shadow, Qt::black);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, role, QColor(120, 120, 120));
    return dark;
}

// What a dark desktop theme shows: the skinned windows and the plain ones.
bool renderDark(const mailvane::platform::LibraryHandle& skin, const QDir& output, QTextStream& log)
{
    QApplication::setPalette(darkPalette());
    const QString prefix = QStringLiteral("dark-");
    bool ok = true;
    for (const auto& [name, image] : mailvane::gallery::renderToolkit(skin))
        ok = save(image, output, prefix + name, log) && ok;
    for (const auto& [name, image] : mailvane::gallery::renderSend(skin))
        ok = save(image, output, prefix + name, log) && ok;
    const mailvane::platform::LibraryHandle plain;
    for (const auto& [library, name] : {std::pair{skin, QStringLiteral("dark-main-")},
                                        std::pair{plain, QStringLiteral("dark-main-plain-")}}) {
        for (const auto& picture : mailvane::gallery::renderMainWindow(library, 1.0, name))
            ok = save(picture.image, output, picture.name, log) && ok;
    }
    return ok;
}

// The main window and the send dialogs at a fractional scale, where a piece
// of the skin falls between device pixels.
bool renderFractional(const mailvane::platform::LibraryHandle& skin, qreal scale,
                      const QDir& output, QTextStream& log)
{
    const QString prefix = QStringLiteral("x%1-").arg(scale);
    bool ok = true;
    for (const auto& picture :
         mailvane::gallery::renderMainWindow(skin, scale, QStringLiteral("main-") + prefix))
        ok = save(picture.image, output, picture.name, log) && ok;
    for (const auto& [name, image] : mailvane::gallery::renderSend(skin))
        ok = save(image, output, prefix + name, log) && ok;
    return ok;
}

// Runs this program again with `option`, in `environment` added to its own.
bool runAgain(const QString& skinPath, const QDir& output, const QString& option,
              const QList<std::pair<QString, QString>>& environment)
{
    QProcess again;
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : environment)
        variables.insert(name, value);
    again.setProcessEnvironment(variables);
    again.setProcessChannelMode(QProcess::ForwardedChannels);
    again.start(QApplication::applicationFilePath(), {skinPath, output.path(), option});
    return again.waitForFinished(120000) && again.exitCode() == EXIT_SUCCESS;
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
    if (args.size() > 3 && args.at(3) == QLatin1String("--fractional")) {
        const bool fractionalOk = renderFractional(skin, FractionalScale, output, log);
        mailvane::platform::freeResourceLibrary(skin);
        return fractionalOk ? EXIT_SUCCESS : EXIT_FAILURE;
    }
    if (args.size() > 3 && args.at(3) == QLatin1String("--dark")) {
        const bool darkOk = renderDark(skin, output, log);
        mailvane::platform::freeResourceLibrary(skin);
        return darkOk ? EXIT_SUCCESS : EXIT_FAILURE;
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
    // Scale factor 2 and a dark desktop theme, each in a process of its own.
    ok = runAgain(skinPath, output, QStringLiteral("--scaled"),
                  {{QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2")}}) &&
         ok;
    ok = runAgain(skinPath, output, QStringLiteral("--fractional"),
                  {{QStringLiteral("QT_SCALE_FACTOR"), QString::number(FractionalScale)}}) &&
         ok;
    ok = runAgain(skinPath, output, QStringLiteral("--dark"), {}) && ok;

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
