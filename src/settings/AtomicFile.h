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
// group, and its owner where the caller may set it. Symbolic links are
// followed, so a link stays a link to the new contents.
//
// When the folder takes no new files but the file may be written, the bytes
// are written into the file itself and flushed instead; a failure there, after
// room for the new contents was found, may leave the file half-written.
AtomicWriteResult replaceFileAtomically(const std::filesystem::path& path, std::string_view bytes);

} // namespace mailvane::settings
