#pragma once
// Reading the program's text files (the settings file and the language files)
// so that nothing standing in their place can hang or exhaust the program: a
// FIFO, a device, a folder or a file far larger than any of ours reads as no
// file at all, and is never written over.

#include <cstddef>
#include <string>

namespace chess {

// Our files are a few kilobytes; a file of this size is somebody else's.
inline constexpr std::size_t MaxTextFileSize = std::size_t{4} << 20;

enum class FileState {
    Missing,     // nothing of that name (or a link to nothing): a write may create it
    Read,        // a regular file, read whole
    NotAFile,    // a folder, FIFO, device or socket
    TooLarge,    // a regular file over the size limit
    Unreadable,  // there, but it cannot be read (permissions, I/O error)
};

struct TextFile {
    FileState state = FileState::Missing;
    std::string bytes;  // the file's content when state is Read, else empty
    std::string error;  // why it could not be read, for the other states
};

// Follows links. Never blocks on a FIFO and never reads more than
// `limit` + 1 bytes, whatever the file claims to be.
TextFile ReadTextFile(const std::string& path, std::size_t limit = MaxTextFileSize);

// Whether a regular file (after links) stands at `path`.
bool IsRegularFile(const std::string& path);

// True for a state in which the file may be replaced: it is ours to rewrite
// (read whole) or there is none yet.
inline bool MayReplace(FileState state)
{
    return state == FileState::Read || state == FileState::Missing;
}

}  // namespace chess
