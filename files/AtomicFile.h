#pragma once
// The one way this program puts a file on the disk: the whole content goes
// to a fresh file beside the old one, reaches the disk, and only then takes
// the old one's name. Whatever fails on the way (the disk is full, a write is
// cut short, the process may not write the folder), the old file stays
// exactly as it was and the temporary file is gone; a write that returns true
// survives a power cut.
//
// Only a regular file is ever replaced: a folder, FIFO, device or socket of
// that name (or a link to one) is left alone, so a file is written only where
// the program's reader would read it. A link to a regular file is followed,
// and the file it points at is replaced, so the link keeps working.

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

namespace chess {

struct WriteOptions {
    // Content larger than this is refused: pass the limit the file's reader
    // applies, or the write would produce a file the program cannot open.
    std::size_t maxBytes = std::numeric_limits<std::size_t>::max();
    // An existing file larger than this is not one of ours and is left alone.
    std::size_t maxExistingBytes = std::numeric_limits<std::size_t>::max();
    // A file without write permission for the user (or with no write bit at
    // all, which stops root too) was made read-only on purpose.
    bool keepReadOnly = true;
    // For content merged from the old file: what the user may not read cannot
    // have been merged, so replacing it would lose it.
    bool requireReadable = false;
};

// Replaces (or creates) the file at `path` with `bytes`. The new file keeps
// the old one's mode, and its owner and group where the process may give
// them; a new file gets 0666 less the umask. Temporary files that an earlier,
// killed write left beside it are removed. Safe to call from any thread.
// On failure returns false with a one-line reason in `error`, such as
// "cannot write: No space left on device". One failure comes after the
// rename: should the folder not sync, the new content stands but may not
// survive a crash, and that too is reported.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, const WriteOptions& options = {},
                         std::string* error = nullptr);

// Removes the file at `path` (a link itself, not what it points at) so that a
// crash cannot bring it back. Nothing there is success; a folder, FIFO or
// device of that name is left alone and reported.
bool RemoveFileDurably(const std::string& path, std::string* error = nullptr);

}  // namespace chess
