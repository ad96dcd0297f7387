// mailvane: the window program. Prepares the e-mail settings of one mailbox
// and sends them to phones; mailvane-cli does the same without a window.

#include "CommandLine.h"
#include "MainApp.h"
#include "ProgramOptions.h"
#include "ProgramVersion.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <xcb/xcb.h>

// The About box reads the version from the program file itself.
MAILVANE_EMBED_FILE_VERSION(MAILVANE_FILE_VERSION);

namespace {

std::string usage()
{
    std::string text = "Usage: mailvane [FILE]\n"
                       "Prepares the e-mail settings of one mailbox and sends them to phones.\n"
                       "FILE, when given, is a settings file opened at start-up; when Mailvane\n"
                       "already runs on this display, that window opens it instead.\n"
                       "\n";
    for (const auto& info : mailvane::app::ProgramOptions) {
        std::string names = "  " + std::string(info.shortName) + ", " + std::string(info.longName);
        names.resize(17, ' ');
        text += names + std::string(info.help) + "\n";
    }
    text += "  --             what follows is FILE, even when it starts with \"-\"\n"
            "\nWithout a graphical session use mailvane-cli.\n";
    return text;
}

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
    using mailvane::app::CommandLine;
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine early = CommandLine::parse(given);
    if (early.action == CommandLine::Action::Help) {
        std::fputs(usage().c_str(), stdout);
        return EXIT_SUCCESS;
    }
    if (early.action == CommandLine::Action::Version) {
        std::printf("mailvane %s\n", MAILVANE_VERSION);
        return EXIT_SUCCESS;
    }
    if (const char* problem = displayProblem()) {
        std::fprintf(stderr,
                     "mailvane: %s; the window program needs a graphical session "
                     "(mailvane-cli works without one)\n",
                     problem);
        return EXIT_FAILURE;
    }

    // The toolkit sees only what comes before "--": after it, every argument
    // is ours, even one that looks like a toolkit option.
    int toolkitArgc = argc;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            toolkitArgc = i;
            break;
        }
    }
    QApplication application(toolkitArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Mailvane"));
    QApplication::setApplicationVersion(QStringLiteral(MAILVANE_VERSION));

    QStringList arguments = QApplication::arguments().mid(1);
    if (toolkitArgc < argc) {
        arguments.append(QStringLiteral("--"));
        arguments.append(given.mid(toolkitArgc));
    }
    const CommandLine line = CommandLine::parse(arguments);
    if (line.action != CommandLine::Action::Run) {
        std::fprintf(stderr, "mailvane: %s\n%s", qPrintable(line.problem), usage().c_str());
        return 2;
    }
    mailvane::app::MainApp app;
    return app.run(line.file);
}
