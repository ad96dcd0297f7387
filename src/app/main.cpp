// mailvane: the window program. Prepares the e-mail settings of one mailbox
// and sends them to phones; mailvane-cli does the same without a window.

#include "MainApp.h"
#include "ProgramVersion.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

// The About box reads the version from the program file itself.
MAILVANE_EMBED_FILE_VERSION(MAILVANE_FILE_VERSION);

namespace {

constexpr const char* Usage =
    "Usage: mailvane [FILE]\n"
    "Prepares the e-mail settings of one mailbox and sends them to phones.\n"
    "FILE, when given, is a settings file opened at start-up.\n"
    "\n"
    "  -h, --help     show this text and exit\n"
    "  -v, --version  show the version and exit\n"
    "\n"
    "Without a graphical session use mailvane-cli.\n";

// Why no window can be shown, or nothing when a display is there.
const char* displayProblem()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform && std::strncmp(platform, "xcb", 3) != 0)
        return nullptr; // chosen explicitly: Qt will say what it cannot do
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const bool hasDisplay = display && *display;
    if (!hasDisplay && !(wayland && *wayland))
        return "no display: DISPLAY is not set";
    if (hasDisplay && !(wayland && *wayland)) {
        xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
        const bool failed = xcb_connection_has_error(connection) != 0;
        xcb_disconnect(connection);
        if (failed)
            return "cannot open the display named by DISPLAY";
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::fputs(Usage, stdout);
            return EXIT_SUCCESS;
        }
        if (std::strcmp(argv[i], "-v") == 0 || std::strcmp(argv[i], "--version") == 0) {
            std::printf("mailvane %s\n", MAILVANE_VERSION);
            return EXIT_SUCCESS;
        }
    }
    if (const char* problem = displayProblem()) {
        std::fprintf(stderr,
                     "mailvane: %s; the window program needs a graphical session "
                     "(mailvane-cli works without one)\n",
                     problem);
        return EXIT_FAILURE;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mailvane"));
    QApplication::setApplicationVersion(QStringLiteral(MAILVANE_VERSION));

    // Qt has taken its own options out; what is left is ours.
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    arguments.removeAll(QStringLiteral("--"));
    if (arguments.size() > 1 ||
        (!arguments.isEmpty() && arguments.first().startsWith(QLatin1Char('-')))) {
        std::fprintf(stderr, "mailvane: unexpected argument \"%s\"\n%s",
                     qPrintable(arguments.last()), Usage);
        return 2;
    }
    mailvane::app::MainApp app;
    return app.run(arguments.value(0));
}
