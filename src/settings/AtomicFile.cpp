#include "AtomicFile.h"

#include <cerrno>
#include <fcntl.h>
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

fs::path resolveTarget(const fs::path& path)
{
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(path, error))) {
        fs::path resolved = fs::weakly_canonical(path, error);
        if (!error)
            return resolved;
    }
    return path;
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

class TemporaryFile
{
public:
    explicit TemporaryFile(const fs::path& target)
    {
        // Hidden, beside the target, so that the rename stays within one file system.
        std::string name = ".";
        name += target.filename().string();
        name += ".XXXXXX";
        std::string pattern = (target.parent_path() / name).string();
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

} // namespace

AtomicWriteResult replaceFileAtomically(const fs::path& path, std::string_view bytes)
{
    const fs::path target = resolveTarget(path);

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
    if (!temporary.isOpen())
        return {AtomicWriteStatus::CannotCreate, errno};

    if (exists) {
        // Keep the owner where we may (root saving someone's file); a plain
        // user can only keep their own, which the new file already has.
        [[maybe_unused]] const int ignored =
            ::fchown(temporary.fd(), existing.st_uid, existing.st_gid);
    }
    if ((exists && ::fchmod(temporary.fd(), existing.st_mode & 07777) != 0) ||
        !writeAll(temporary.fd(), bytes) || ::fsync(temporary.fd()) != 0 || !temporary.close())
        return {AtomicWriteStatus::WriteFailed, errno};
    if (!temporary.renameTo(target))
        return {AtomicWriteStatus::WriteFailed, errno};
    syncFolder(folder);
    return {};
}

} // namespace mailvane::settings
