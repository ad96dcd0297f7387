#pragma once

#include <filesystem>
#include <string_view>

namespace mailvane::settings {

enum class AtomicWriteStatus
{
    Success,
    CannotCreate, // the folder cannot take a new file, or the target may not be written
    WriteFailed,  // writing, flushing or renaming failed
};

struct AtomicWriteResult
{
    AtomicWriteStatus status = AtomicWriteStatus::Success;
    int systemError = 0;
};

// Replaces the file at `path` with `bytes` so that readers see either the old
// or the new contents, never a mixture: the bytes go to a temporary file in the
// same folder, which is flushed to disk and renamed over the target. On failure
// the target is untouched and the temporary file is removed. A new file is
// readable and writable by its owner only; an existing file keeps its mode and
// group, and its owner where the caller may set it; when its group cannot be
// kept, its group and other rights are dropped rather than handed to another
// group. Symbolic links are followed by the kernel's own lookup, so a link
// stays a link to the new contents; a link in a sticky folder open to all (such
// as /tmp) that belongs neither to the user nor to the folder's owner is
// refused (CannotCreate, EACCES), as the kernel's protection of such links does.
//
// A file with several names (hard links), or one in a folder that takes no new
// files but that may itself be written, is written in place and flushed
// instead, so that every name keeps showing it; a failure there, after room
// for the new contents was found, may leave the file half-written.
AtomicWriteResult replaceFileAtomically(const std::filesystem::path& path, std::string_view bytes);

} // namespace mailvane::settings
