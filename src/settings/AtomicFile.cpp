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

// Follows a chain of symbolic links to the file they name, which need not
// exist yet, so that the save replaces that file and every link stays a link.
// Empty when the links go round in a circle.
std::optional<fs::path> resolveTarget(const fs::path& path)
{
    // The system's own limit on links followed in one lookup (ELOOP).
    constexpr int MaxLinks = 40;
    fs::path current = path;
    for (int followed = 0; followed < MaxLinks; ++followed) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error)))
            return current;
        const fs::path link = fs::read_symlink(current, error);
        if (error)
            return current;
        current = link.is_absolute() ? link : current.parent_path() / link;
    }
    return std::nullopt;
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
// may keep a group they belong to, so the group is tried on its own.
void keepIdentity(int fd, const struct stat& old)
{
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
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
    const std::optional<fs::path> resolved = resolveTarget(path);
    if (!resolved)
        return {AtomicWriteStatus::CannotCreate, ELOOP};
    const fs::path& target = *resolved;

    struct stat existing = {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists) {
        if (S_ISDIR(existing.st_mode))
            return {AtomicWriteStatus::CannotCreate, EISDIR};
        // A file the user may not write is not replaced behind their back.
        if (::access(target.c_str(), W_OK) != 0)
            return {AtomicWriteStatus::CannotCreate, errno};
    }

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    TemporaryFile temporary(folder / target.filename());
    if (!temporary.isOpen()) {
        const int error = errno;
        // The folder is closed to new files, but the file itself may be written.
        if (exists && S_ISREG(existing.st_mode) && (error == EACCES || error == EPERM))
            return overwriteInPlace(target, bytes);
        return {AtomicWriteStatus::CannotCreate, error};
    }

    if (exists)
        keepIdentity(temporary.fd(), existing);
    // The mode after the owner: changing the owner clears the set-id bits.
    if ((exists && ::fchmod(temporary.fd(), existing.st_mode & 07777) != 0) ||
        !writeAll(temporary.fd(), bytes) || ::fsync(temporary.fd()) != 0 || !temporary.close())
        return {AtomicWriteStatus::WriteFailed, errno};
    if (!temporary.renameTo(target))
        return {AtomicWriteStatus::WriteFailed, errno};
    syncFolder(folder);
    return {};
}

} // namespace mailvane::settings
