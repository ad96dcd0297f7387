// The window program's code, built as a module that the program file
// (main.cpp) loads once it knows a window is wanted.

#include "MainApp.h"
#include "ProgramArguments.h"
#include "ProgramOptions.h"
#include "WaylandSeat.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <xcb/xcb.h>

namespace {

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

// The program file finds it by its name, WindowEntryName, and has answered
// --help and --version already.
extern "C" __attribute__((visibility("default"))) int mailvane_window_main(int argc, char** argv)
{
    using mailvane::app::ProgramArguments;
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
        if (argv[i] == mailvane::app::EndOfOptions) {
            toolkitArgc = i;
            break;
        }
    }
    mailvane::app::keepInputMethodFromSeatlessCompositor();
    QApplication application(toolkitArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Mailvane"));
    QApplication::setApplicationVersion(QStringLiteral(MAILVANE_VERSION));

    // What the toolkit left of the options, as the bytes they came as, and
    // everything after "--" untouched.
    std::vector<std::string> arguments;
    for (const QString& argument : QApplication::arguments().mid(1))
        arguments.push_back(argument.toLocal8Bit().toStdString());
    if (toolkitArgc < argc)
        arguments.insert(arguments.end(), argv + toolkitArgc, argv + argc);
    const ProgramArguments parsed = ProgramArguments::parse(arguments);
    if (parsed.action != ProgramArguments::Action::Run) {
        std::fprintf(stderr, "mailvane: %s\n%s", parsed.problem.c_str(),
                     mailvane::app::programUsage().c_str());
        return 2;
    }
    mailvane::app::MainApp app;
    return app.run(QString::fromLocal8Bit(parsed.file));
}
