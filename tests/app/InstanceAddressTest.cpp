#include "InstanceAddress.h"

#include "TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mailvane::app::instance_address {
namespace {

// The program file and the window's code meet at these names: one display,
// one name, whatever form the display is given in; file-name safe always.
TEST(InstanceAddress, oneNamePerDisplayAndOnlySafeBytes)
{
    struct Case
    {
        const char* platform;
        const char* x11;
        const char* wayland;
        const char* expected;
    };
    const Case cases[] = {
        {"xcb", ":0", "", "xcb-_0"},
        {"xcb", ":0.0", "", "xcb-_0"},
        {"xcb", ":0.1", "wayland-1", "xcb-_0"},
        {"xcb", "localhost:10.0", "", "xcb-localhost_10"},
        {"xcb", "host.example:1", "", "xcb-host.example_1"},
        {"xcb", ":0.", "", "xcb-_0."},
        {"xcb", "/tmp/.X11-unix/X0", "", "xcb-_tmp_.X11-unix_X0"},
        {"wayland", ":0", "wayland-1", "wayland-wayland-1"},
        {"wayland-egl", "", "", "wayland-egl-wayland-0"},
        {"offscreen", ":0", "wayland-1", "offscreen-"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(displayPart(c.platform, c.x11, c.wayland), c.expected)
            << c.platform << " " << c.x11 << " " << c.wayland;

    EXPECT_EQ(basePath("/run/user/1000", "xcb-_0"), "/run/user/1000/mailvane-xcb-_0");
    EXPECT_EQ(basePath("/run/user/1000/", "xcb-_0"), "/run/user/1000/mailvane-xcb-_0");
}

constexpr uid_t Nobody = 65534;

// A lock or socket goes only into a folder of the user's that no one else may
// enter; any other named folder is refused with the reason, none named is
// simply no folder.
TEST(InstanceAddress, onlyAPrivateFolderOfTheUserHoldsTheLockAndSocket)
{
    mailvane::test::TempDir dir;
    struct Case
    {
        const char* name;
        unsigned mode;
        bool otherOwner;
        const char* problem; // nullptr: taken
    };
    const Case cases[] = {
        {"private", 0700, false, nullptr},
        {"open to the group", 0750, false, "has mode 0750 instead of 0700"},
        {"someone else's", 0700, true, "belongs to another user"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path folder = dir / c.name;
        std::filesystem::create_directory(folder);
        ASSERT_EQ(::chmod(folder.c_str(), c.mode), 0);
        if (c.otherOwner && ::chown(folder.c_str(), ::geteuid() == 0 ? Nobody : 0, 0) != 0)
            GTEST_SKIP() << "giving a folder to another user needs root";
        const RuntimeFolder found = privateRuntimeFolder(folder.string());
        if (!c.problem) {
            EXPECT_EQ(found.path, folder.string());
            EXPECT_EQ(found.problem, "");
        } else {
            EXPECT_EQ(found.path, "");
            EXPECT_NE(found.problem.find(c.problem), std::string::npos) << found.problem;
        }
    }
    std::ofstream(dir / "file");
    EXPECT_NE(privateRuntimeFolder((dir / "file").string()).problem.find("is not a folder"),
              std::string::npos);
    EXPECT_NE(privateRuntimeFolder("run/user").problem.find("not an absolute path"),
              std::string::npos);
    const RuntimeFolder none = privateRuntimeFolder("");
    EXPECT_EQ(none.path, "");
    EXPECT_EQ(none.problem, "");
}

// A later start hands its file name only to a program of the same user: a
// socket served by another user (which only root could place in a private
// folder, or a folder that is not private) is recognised as such.
TEST(InstanceAddress, aServerOfAnotherUserIsToldApart)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a server of another user needs root to start";
    mailvane::test::TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    for (const bool otherUser : {false, true}) {
        SCOPED_TRACE(otherUser ? "nobody's server" : "own server");
        const std::string path = (dir / (otherUser ? "theirs" : "ours")).string();
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t server = ::fork();
        if (server == 0) {
            if (otherUser && (::setgid(Nobody) != 0 || ::setuid(Nobody) != 0))
                ::_exit(2);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            path.copy(address.sun_path, sizeof address.sun_path - 1);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
                ::listen(fd, 1) != 0 || ::write(ready[1], "r", 1) != 1)
                ::_exit(3);
            const int peer = ::accept(fd, nullptr, nullptr);
            char byte;
            [[maybe_unused]] const ssize_t ignored = ::read(peer, &byte, 1);
            ::_exit(0);
        }
        ::close(ready[1]);
        char byte;
        ASSERT_EQ(::read(ready[0], &byte, 1), 1) << "the server did not start";
        ::close(ready[0]);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(peerIsThisUser(fd), !otherUser);
        ::close(fd);
        ::waitpid(server, nullptr, 0);
    }
}

} // namespace
} // namespace mailvane::app::instance_address
