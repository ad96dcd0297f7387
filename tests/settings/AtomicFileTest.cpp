#include "AtomicFile.h"

#include "TempDir.h"

#include <array>
#include <climits>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace mailvane::settings;
namespace fs = std::filesystem;

namespace {

constexpr uid_t Nobody = 65534;
constexpr gid_t NoGroup = 65534;
// Another user, and a group that only the saving user belongs to besides its own.
constexpr uid_t OtherUser = 4242;
constexpr gid_t SharedGroup = 4243;
// A group the saving user is not in.
constexpr gid_t OtherGroup = 4244;

// The name a case saves under.
enum SavedName
{
    Direct,
    Link,       // a link in a folder that nobody owns
    StickyLink, // another user's link in a sticky folder open to all
    HardLink,   // the file has a second name elsewhere
};

std::string fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

struct stat statOf(const fs::path& path)
{
    struct stat info = {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info;
}

void makeEntry(const fs::path& path, uid_t owner, gid_t group, unsigned mode)
{
    ASSERT_EQ(::chown(path.c_str(), owner, group), 0) << path;
    ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
}

// Runs the save in a child as a plain user, since root may write anywhere:
// under root the child becomes nobody, with SharedGroup as its one extra
// group, as a person saving on a shared machine would; otherwise it stays the
// user running the tests. With a file size limit, files cannot grow past it,
// as on a full disk. Returns the status, or nullopt when the child could not
// become that user.
std::optional<AtomicWriteResult> saveAsPlainUser(const fs::path& path, std::string_view bytes,
                                                 rlim_t fileSizeLimit = RLIM_INFINITY)
{
    const bool asNobody = ::geteuid() == 0;
    int channel[2];
    if (::pipe(channel) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const gid_t groups[] = {NoGroup, SharedGroup};
        if (asNobody &&
            (::setgroups(2, groups) != 0 || ::setgid(NoGroup) != 0 || ::setuid(Nobody) != 0))
            ::_exit(2);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            ::_exit(2);
        const AtomicWriteResult result = replaceFileAtomically(path, bytes);
        const std::array<int, 2> reply = {static_cast<int>(result.status), result.systemError};
        const bool sent = ::write(channel[1], reply.data(), sizeof reply) == sizeof reply;
        ::_exit(sent ? 0 : 3);
    }
    ::close(channel[1]);
    std::array<int, 2> reply = {};
    const bool received = child > 0 && ::read(channel[0], reply.data(), sizeof reply) ==
                                           static_cast<ssize_t>(sizeof reply);
    ::close(channel[0]);
    int status = 0;
    if (child > 0)
        ::waitpid(child, &status, 0);
    if (!received || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return AtomicWriteResult{static_cast<AtomicWriteStatus>(reply[0]), reply[1]};
}

TEST(AtomicFile, savingAsAPlainUserKeepsTheFilesIdentityOrFallsBackToWritingInPlace)
{
    // Under root the users and groups are real and the save runs as nobody.
    // Any other user runs the cases that need no one else's file or group,
    // saving as itself, with a folder closed to it standing for root's.
    const bool asRoot = ::geteuid() == 0;
    const uid_t saver = asRoot ? Nobody : ::geteuid();
    const gid_t saverGroup = asRoot ? NoGroup : ::getegid();
    struct Case
    {
        const char* name;
        uid_t folderOwner;
        uid_t fileOwner;
        gid_t fileGroup;
        unsigned fileMode;
        SavedName savedAs;
        AtomicWriteStatus want;
        bool inPlace;        // the old file, not a new one, holds the new contents
        int savedGroup = -1; // the group and mode after the save; -1: as before
        int savedMode = -1;
    };
    const Case cases[] = {
        {"someone else's file in a shared group", Nobody, OtherUser, SharedGroup, 0664, Direct,
         AtomicWriteStatus::Success, false},
        {"own private file in a shared group", Nobody, Nobody, SharedGroup, 0640, Direct,
         AtomicWriteStatus::Success, false},
        {"writable file in a closed folder", 0, Nobody, NoGroup, 0644, Direct,
         AtomicWriteStatus::Success, true},
        {"link to a writable file in a closed folder", 0, Nobody, SharedGroup, 0660, Link,
         AtomicWriteStatus::Success, true},
        {"read-only file in a closed folder", 0, 0, 0, 0644, Direct,
         AtomicWriteStatus::CannotCreate, false},
        {"read-only file in an open folder", Nobody, 0, 0, 0644, Direct,
         AtomicWriteStatus::CannotCreate, false},
        {"own file with a second name", Nobody, Nobody, NoGroup, 0640, HardLink,
         AtomicWriteStatus::Success, true},
        {"own file of a group the user is not in", Nobody, Nobody, OtherGroup, 0664, Direct,
         AtomicWriteStatus::Success, false, NoGroup, 0600},
        {"someone's link planted in a sticky folder", Nobody, Nobody, NoGroup, 0600, StickyLink,
         AtomicWriteStatus::CannotCreate, false},
    };
    const std::string old = "old contents that are longer than the new ones";
    const std::string fresh = "new contents";
    int ran = 0;
    for (const Case& c : cases) {
        if (!asRoot && (c.fileOwner != Nobody || c.fileGroup != NoGroup || c.savedAs == StickyLink))
            continue;
        SCOPED_TRACE(c.name);
        ++ran;
        mailvane::test::TempDir dir;
        if (asRoot)
            makeEntry(dir.path(), 0, 0, 0755);
        const fs::path folder = dir / "folder";
        fs::create_directory(folder);
        const fs::path file = folder / "settings.txt";
        std::ofstream(file, std::ios::binary) << old;
        makeEntry(file, saver, saverGroup, c.fileMode);
        const bool closed = c.folderOwner == 0;
        if (asRoot)
            makeEntry(folder, c.folderOwner, closed ? 0 : NoGroup, 0755);
        else
            makeEntry(folder, saver, saverGroup, closed ? 0555 : 0755);
        if (asRoot)
            makeEntry(file, c.fileOwner, c.fileGroup, c.fileMode);
        const ino_t oldInode = statOf(file).st_ino;
        fs::path saved = file;
        if (c.savedAs == Link || c.savedAs == StickyLink) {
            fs::create_directory(dir / "links");
            saved = dir / "links" / "settings.txt";
            fs::create_symlink(fs::path("..") / "folder" / "settings.txt", saved);
            if (c.savedAs == Link) {
                makeEntry(dir / "links", saver, saverGroup, 0755);
            } else {
                makeEntry(dir / "links", 0, 0, 01777);
                ASSERT_EQ(::lchown(saved.c_str(), OtherUser, OtherUser), 0);
            }
        } else if (c.savedAs == HardLink) {
            fs::create_hard_link(file, dir / "second-name.txt");
        }

        const std::optional<AtomicWriteResult> result = saveAsPlainUser(saved, fresh);
        ASSERT_TRUE(result) << "the child could not become nobody";
        EXPECT_EQ(result->status, c.want) << "error " << result->systemError;
        const struct stat after = statOf(file);
        EXPECT_EQ(fileBytes(file), c.want == AtomicWriteStatus::Success ? fresh : old);
        EXPECT_EQ(after.st_gid, c.savedGroup >= 0 ? gid_t(c.savedGroup)
                                : asRoot          ? c.fileGroup
                                                  : saverGroup);
        EXPECT_EQ(after.st_mode & 07777, c.savedMode < 0 ? c.fileMode : unsigned(c.savedMode));
        EXPECT_EQ(after.st_ino == oldInode, c.inPlace || c.want != AtomicWriteStatus::Success);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
            << "no temporary file is left";
        if (c.savedAs == Link || c.savedAs == StickyLink) {
            EXPECT_TRUE(fs::is_symlink(saved));
        }
        if (c.savedAs == HardLink) {
            EXPECT_EQ(fileBytes(dir / "second-name.txt"), fresh);
        }
        makeEntry(folder, asRoot ? c.folderOwner : saver, asRoot && closed ? 0 : saverGroup,
                  0755); // so that it can be removed
    }
    EXPECT_EQ(ran, asRoot ? 9 : 2);
}

TEST(AtomicFile, writingInPlaceFindsAFullDiskBeforeTouchingTheOldContents)
{
    const bool asNobody = ::geteuid() == 0;
    mailvane::test::TempDir dir;
    const fs::path file = dir / "settings.txt";
    const std::string old = "old";
    std::ofstream(file, std::ios::binary) << old;
    makeEntry(file, asNobody ? Nobody : ::geteuid(), asNobody ? NoGroup : ::getegid(), 0644);
    // A folder the saving user may not write to, its owner included: no
    // temporary file beside the old one, so the save writes in place.
    makeEntry(dir.path(), ::geteuid(), ::getegid(), 0555);
    const std::optional<AtomicWriteResult> result =
        saveAsPlainUser(file, std::string(200, 'n'), old.size() + 10);
    makeEntry(dir.path(), ::geteuid(), ::getegid(), 0755); // so that it can be removed
    ASSERT_TRUE(result) << "the child could not run the save";
    EXPECT_EQ(result->status, AtomicWriteStatus::WriteFailed);
    EXPECT_EQ(result->systemError, EFBIG);
    EXPECT_EQ(fileBytes(file), old);
}

TEST(AtomicFile, aLinkToAFileNotYetThereCreatesItAndStaysALink)
{
    mailvane::test::TempDir dir;
    fs::create_symlink("missing.txt", dir / "link.txt");
    ASSERT_EQ(replaceFileAtomically(dir / "link.txt", "new").status, AtomicWriteStatus::Success);
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(fileBytes(dir / "missing.txt"), "new");

    fs::create_symlink("loop-b", dir / "loop-a");
    fs::create_symlink("loop-a", dir / "loop-b");
    const AtomicWriteResult loop = replaceFileAtomically(dir / "loop-a", "new");
    EXPECT_EQ(loop.status, AtomicWriteStatus::CannotCreate);
    EXPECT_EQ(loop.systemError, ELOOP);
    EXPECT_TRUE(fs::is_symlink(dir / "loop-a"));
}

} // namespace

// Any name the file system takes can be saved under, whatever room the
// temporary file's name beside it needs; nothing is left behind.
TEST(AtomicFile, namesUpToTheSystemsLimitAreSavedAndLeaveNoTemporaryFile)
{
    const std::string twoByte = "\xc3\xa9"; // one character, two bytes
    std::string accented;
    while (accented.size() + twoByte.size() <= NAME_MAX)
        accented += twoByte;
    const std::string names[] = {"a", std::string(247, 'n'), std::string(248, 'n'),
                                 std::string(250, 'n'), std::string(NAME_MAX, 'n'), accented,
                                 "x" + accented};
    for (const std::string& name : names) {
        SCOPED_TRACE(name.size());
        mailvane::test::TempDir dir;
        const fs::path target = dir / name;
        const AtomicWriteResult result = replaceFileAtomically(target, "Mailbox: long\r\n");
        EXPECT_EQ(result.status, AtomicWriteStatus::Success) << std::strerror(result.systemError);
        EXPECT_EQ(fileBytes(target), "Mailbox: long\r\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    }
}
