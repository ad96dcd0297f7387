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
// readable and writable by its owner only; an existing file keeps its
// permissions. A symbolic link is followed, so the link stays a link.
AtomicWriteResult replaceFileAtomically(const std::filesystem::path& path, std::string_view bytes);

} // namespace mailvane::settings
