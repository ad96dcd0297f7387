#include "AtomicFile.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace mailvane::settings {
namespace {

namespace fs = std::filesystem;

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The kernel's rule for links in sticky world-writable folders such as /tmp
// (fs.protected_symlinks), applied whether or not the machine switches it on:
// such a link is followed only when it is ours or the folder owner's, so that
// a link someone planted at the name we save to cannot redirect the save.
bool mayFollow(const fs::path& link)
{
    struct stat linkInfo = {};
    struct stat folderInfo = {};
    const fs::path folder = link.has_parent_path() ? link.parent_path() : fs::path(".");
    if (::lstat(link.c_str(), &linkInfo) != 0 || ::stat(folder.c_str(), &folderInfo) != 0)
        return true; // gone meanwhile: the kernel's lookup decides
    const bool stickyOpenFolder =
        (folderInfo.st_mode & S_ISVTX) != 0 && (folderInfo.st_mode & S_IWOTH) != 0;
    return !stickyOpenFolder || linkInfo.st_uid == ::geteuid() ||
           linkInfo.st_uid == folderInfo.st_uid;
}

// Whether every link of the chain at `path` may be followed; the chain itself
// is then resolved by the kernel, not here.
int checkLinkChain(const fs::path& path)
{
    // The system's own limit on links followed in one lookup (ELOOP).
    constexpr int MaxLinks = 40;
    fs::path current = path;
    for (int followed = 0; followed < MaxLinks; ++followed) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error)))
            return 0;
        if (!mayFollow(current))
            return EACCES;
        const fs::path link = fs::read_symlink(current, error);
        if (error)
            return 0;
        current = link.is_absolute() ? link : current.parent_path() / link;
    }
    return ELOOP;
}

// The file the kernel reaches through `fd`.
std::optional<fs::path> openedPath(int fd)
{
    std::error_code error;
    fs::path path = fs::read_symlink("/proc/self/fd/" + std::to_string(fd), error);
    if (error)
        return std::nullopt;
    return path;
}

// Where a save of `path` lands: the file the kernel's own open reaches through
// any links, which need not exist yet. A link to a file that does not exist
// is followed by creating that file, as the kernel's O_CREAT does, and
// `created` says so, so that a failed save can take it away again.
struct SaveTarget
{
    fs::path path;
    bool created = false;
    int error = 0;
};

SaveTarget resolveTarget(const fs::path& path)
{
    if (const int refused = checkLinkChain(path))
        return {{}, false, refused};
    int fd = ::open(path.c_str(), O_PATH | O_CLOEXEC);
    bool created = false;
    if (fd < 0 && errno == ENOENT) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error)))
            return {path, false, 0}; // a new file: made by the rename below
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
        if (fd < 0 && errno == EEXIST) // the kernel creates through a link without O_EXCL
            fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600);
        created = fd >= 0;
    }
    if (fd < 0)
        return {{}, false, errno};
    const std::optional<fs::path> reached = openedPath(fd);
    const int error = errno;
    ::close(fd);
    if (!reached) {
        // Without /proc a name that is no link is still its own target.
        std::error_code notLink;
        if (!created && !fs::is_symlink(fs::symlink_status(path, notLink)))
            return {path, false, 0};
        if (created)
            ::unlink(path.c_str());
        return {{}, false, error};
    }
    return {*reached, created, 0};
}

// Makes the rename itself durable; failing here loses nothing already renamed.
void syncFolder(const fs::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// ".<name>.XXXXXX", with <name> shortened where needed so that the whole
// fits the folder's limit on a name: a target of any length the file system
// takes can be saved. The cut falls between UTF-8 characters.
std::string temporaryName(const fs::path& target)
{
    constexpr std::string_view Prefix = ".";
    constexpr std::string_view Suffix = ".XXXXXX";
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    const std::size_t nameMax = limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX;
    std::string name = target.filename().string();
    const std::size_t room = nameMax - Prefix.size() - Suffix.size();
    if (name.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name.resize(cut);
    }
    return std::string(Prefix) + name + std::string(Suffix);
}

class TemporaryFile
{
public:
    explicit TemporaryFile(const fs::path& target)
    {
        // Hidden, beside the target, so that the rename stays within one file system.
        std::string pattern = (target.parent_path() / temporaryName(target)).string();
        m_fd = ::mkostemp(pattern.data(), O_CLOEXEC); // created 0600
        if (m_fd >= 0)
            m_path = pattern;
    }

    ~TemporaryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }

    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

    bool renameTo(const fs::path& target)
    {
        if (::rename(m_path.c_str(), target.c_str()) != 0)
            return false;
        m_path.clear();
        return true;
    }

private:
    int m_fd = -1;
    fs::path m_path;
};

// The new file takes the old one's group and mode, and its owner where we
// may (root saving someone's file). A plain user cannot give a file away but
// may keep a group they belong to, so the group is tried on its own. A group
// that cannot be kept takes the old group's rights with it: the new file's
// group is one the old file's readers need not be in. The mode is set after
// the owner, since changing the owner clears the set-id bits.
bool keepIdentity(int fd, const struct stat& old)
{
    mode_t mode = old.st_mode & 07777;
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0)
        mode &= 0700;
    return ::fchmod(fd, mode) == 0;
}

// The fallback for a file whose folder takes no new files: the bytes go into
// the file itself. Its owner, group, mode and links stay as they were, but a
// reader may see a mixture while it is written. Room for the new contents is
// taken first, so that a full disk is found before a byte of the old contents
// is overwritten.
AtomicWriteResult overwriteInPlace(const fs::path& target, std::string_view bytes)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return {AtomicWriteStatus::CannotCreate, errno};
    const auto fail = [fd] {
        const int error = errno;
        ::close(fd);
        return AtomicWriteResult{AtomicWriteStatus::WriteFailed, error};
    };
    if (!bytes.empty()) {
        const int reserved = ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
        // Some file systems cannot reserve; writing then finds a full disk itself.
        if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL) {
            errno = reserved;
            return fail();
        }
    }
    if (!writeAll(fd, bytes) || ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 ||
        ::fsync(fd) != 0)
        return fail();
    if (::close(fd) != 0)
        return {AtomicWriteStatus::WriteFailed, errno};
    return {};
}

} // namespace

AtomicWriteResult replaceFileAtomically(const fs::path& path, std::string_view bytes)
{
    const SaveTarget resolved = resolveTarget(path);
    if (resolved.error != 0)
        return {AtomicWriteStatus::CannotCreate, resolved.error};
    const fs::path& target = resolved.path;
    // A file made only to follow a link goes again when the save fails.
    struct CreatedFile
    {
        const fs::path* path;
        bool keep = false;
        ~CreatedFile()
        {
            if (path && !keep)
                ::unlink(path->c_str());
        }
    } created{resolved.created ? &target : nullptr};

    struct stat existing = {};
    const bool exists = !resolved.created && ::stat(target.c_str(), &existing) == 0;
    if (exists) {
        if (S_ISDIR(existing.st_mode))
            return {AtomicWriteStatus::CannotCreate, EISDIR};
        // A file the user may not write is not replaced behind their back.
        if (::access(target.c_str(), W_OK) != 0)
            return {AtomicWriteStatus::CannotCreate, errno};
        // A rename would part the names of a file with several: the others
        // would keep the old contents.
        if (S_ISREG(existing.st_mode) && existing.st_nlink > 1)
            return overwriteInPlace(target, bytes);
    }

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    TemporaryFile temporary(folder / target.filename());
    if (!temporary.isOpen()) {
        const int error = errno;
        // The folder is closed to new files, but the file itself may be written.
        const bool writable = resolved.created || (exists && S_ISREG(existing.st_mode));
        if (writable && (error == EACCES || error == EPERM)) {
            const AtomicWriteResult written = overwriteInPlace(target, bytes);
            created.keep = written.status == AtomicWriteStatus::Success;
            return written;
        }
        return {AtomicWriteStatus::CannotCreate, error};
    }

    if ((exists && !keepIdentity(temporary.fd(), existing)) || !writeAll(temporary.fd(), bytes) ||
        ::fsync(temporary.fd()) != 0 || !temporary.close())
        return {AtomicWriteStatus::WriteFailed, errno};
    if (!temporary.renameTo(target))
        return {AtomicWriteStatus::WriteFailed, errno};
    created.keep = true;
    syncFolder(folder);
    return {};
}

} // namespace mailvane::settings
