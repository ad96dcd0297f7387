// Under a real X server, with the skin the build drew (so that the splash
// shows): a second mailvane finds the first one, brings it forward, hands it
// its FILE and ends with 0, leaving one main window.

#include "NeededTool.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

const QByteArray Title = QByteArrayLiteral("Mailvane       ");
const QByteArray FileNotFound = QByteArrayLiteral("File Not Found");
constexpr int TimeLimitMs = 30000;

// Polls `condition` until it holds or the time limit passes.
bool waitFor(const std::function<bool()>& condition, int limitMs = TimeLimitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > limitMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}

// An Xvfb on a display it picks itself (-displayfd). Without -noreset the
// server resets whenever its last client goes, and a program connecting just
// then is refused.
class VirtualDisplay
{
public:
    VirtualDisplay()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            return;
        int fds[2];
        if (pipe(fds) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            const QByteArray path = xvfb.toLocal8Bit();
            execl(path.constData(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0",
                  "1280x1024x24", "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        pollfd ready{fds[0], POLLIN, 0};
        std::string number;
        while (poll(&ready, 1, TimeLimitMs) > 0) {
            char c;
            if (read(fds[0], &c, 1) != 1 || c == '\n')
                break;
            number += c;
        }
        close(fds[0]);
        if (!number.empty())
            m_display = ":" + number;
    }

    ~VirtualDisplay()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }

    const std::string& name() const { return m_display; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

// The top-level windows of the display whose _NET_WM_NAME is the title.
int windowsTitled(const std::string& display, const QByteArray& title)
{
    xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return -1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const char name[] = "_NET_WM_NAME";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
    int count = 0;
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
    if (atom && tree) {
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            xcb_get_property_reply_t* text =
                xcb_get_property_reply(connection,
                                       xcb_get_property(connection, 0, children[i], atom->atom,
                                                        XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
                                       nullptr);
            if (text && QByteArray(static_cast<const char*>(xcb_get_property_value(text)),
                                   xcb_get_property_value_length(text)) == title)
                ++count;
            std::free(text);
        }
    }
    std::free(tree);
    std::free(atom);
    xcb_disconnect(connection);
    return count;
}

// One user's session on one display: its own runtime folder for the lock.
struct Session
{
    VirtualDisplay display;
    QTemporaryDir runtime;
};

QProcess* startProgram(const Session& session, const QStringList& arguments = {},
                       const QString& folder = {},
                       QProcess::ProcessChannelMode channels = QProcess::ForwardedChannels)
{
    auto* process = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QString::fromStdString(session.display.name()));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("MAILVANE_PHONE"), QStringLiteral("none"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), session.runtime.path());
    environment.insert(QStringLiteral("XDG_CONFIG_DIRS"), QStringLiteral(MAILVANE_XDG_DIR));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(channels);
    if (!folder.isEmpty())
        process->setWorkingDirectory(folder);
    process->start(QStringLiteral(MAILVANE_APP_PATH), arguments);
    return process;
}

void stop(QProcess& process)
{
    process.terminate();
    if (!process.waitForFinished(TimeLimitMs))
        process.kill();
}

TEST(SingleInstance, secondProgramRaisesTheFirstAndEnds)
{
    Session session;
    MAILVANE_NEED_TOOL(!session.display.name().empty(), "no Xvfb (scripts/setup installs it)");
    const std::string& display = session.display.name();

    std::unique_ptr<QProcess> first(startProgram(session));
    ASSERT_TRUE(first->waitForStarted(TimeLimitMs));
    ASSERT_TRUE(waitFor([&] { return windowsTitled(display, Title) == 1; }))
        << "the first program's window did not appear";

    std::unique_ptr<QProcess> second(startProgram(session));
    ASSERT_TRUE(second->waitForFinished(TimeLimitMs)) << "the second program did not end";
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(windowsTitled(display, Title), 1);
    EXPECT_EQ(first->state(), QProcess::Running);
    stop(*first);
}

TEST(SingleInstance, theFileOfASecondStartIsOpenedByTheFirst)
{
    Session session;
    MAILVANE_NEED_TOOL(!session.display.name().empty(), "no Xvfb (scripts/setup installs it)");
    const std::string& display = session.display.name();
    QTemporaryDir folder;

    std::unique_ptr<QProcess> first(startProgram(session));
    ASSERT_TRUE(waitFor([&] { return windowsTitled(display, Title) == 1; }));

    // A name after "--" is a file even when it starts with "-"; relative to
    // the second start's folder. It does not exist: the first one says so.
    std::unique_ptr<QProcess> second(startProgram(
        session, {QStringLiteral("--"), QStringLiteral("-missing.txt")}, folder.path()));
    ASSERT_TRUE(second->waitForFinished(TimeLimitMs));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(waitFor([&] { return windowsTitled(display, FileNotFound) == 1; }))
        << "the first program did not try to open the file";
    EXPECT_EQ(windowsTitled(display, Title), 1);
    stop(*first);
}

// A runtime folder someone else owns could hold their socket: neither start
// takes a lock or listens there, the later one hands nothing over and says
// why, and the window already shown still comes forward.
TEST(SingleInstance, aRuntimeFolderOfAnotherUserTakesNoLockAndNoFile)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving the runtime folder to another user needs root";
    Session session;
    MAILVANE_NEED_TOOL(!session.display.name().empty(), "no Xvfb (scripts/setup installs it)");
    const std::string& display = session.display.name();
    ASSERT_EQ(::chown(QFile::encodeName(session.runtime.path()).constData(), 65534, 65534), 0);

    std::unique_ptr<QProcess> first(startProgram(session));
    ASSERT_TRUE(waitFor([&] { return windowsTitled(display, Title) == 1; }));
    std::unique_ptr<QProcess> second(
        startProgram(session, {QStringLiteral("settings.txt")}, {}, QProcess::SeparateChannels));
    ASSERT_TRUE(second->waitForFinished(TimeLimitMs));
    EXPECT_EQ(second->exitCode(), 1);
    const QString said = QString::fromLocal8Bit(second->readAllStandardError());
    EXPECT_EQ(said.count(QStringLiteral("belongs to another user")), 1) << qPrintable(said);
    EXPECT_TRUE(said.contains(QStringLiteral("takes no files"))) << qPrintable(said);
    EXPECT_TRUE(
        QDir(session.runtime.path())
            .isEmpty(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_EQ(windowsTitled(display, Title), 1);
    stop(*first);
}

TEST(SingleInstance, twoStartsAtOnceGiveOneWindow)
{
    Session session;
    MAILVANE_NEED_TOOL(!session.display.name().empty(), "no Xvfb (scripts/setup installs it)");
    const std::string& display = session.display.name();

    // Both start well inside the other's splash, before any window exists.
    std::unique_ptr<QProcess> a(startProgram(session));
    std::unique_ptr<QProcess> b(startProgram(session));
    // (QProcess learns of an ending only inside its waits.)
    ASSERT_TRUE(waitFor([&] { return a->waitForFinished(10) || b->waitForFinished(10); }))
        << "neither start gave way to the other";
    QProcess& ended = a->state() == QProcess::NotRunning ? *a : *b;
    QProcess& running = &ended == a.get() ? *b : *a;
    EXPECT_EQ(ended.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(ended.exitCode(), 0);
    ASSERT_TRUE(waitFor([&] { return windowsTitled(display, Title) == 1; }));
    EXPECT_EQ(running.state(), QProcess::Running);
    stop(running);
}

} // namespace
