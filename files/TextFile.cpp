#include "TextFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace chess {

namespace {

TextFile Failed(FileState state, std::string error)
{
    TextFile file;
    file.state = state;
    file.error = std::move(error);
    return file;
}

std::string Reason(int error)
{
    return std::strerror(error);
}

}  // namespace

TextFile ReadTextFile(const std::string& path, std::size_t limit)
{
    // Looked at before it is opened: opening a FIFO waits for a writer, and
    // opening some devices does something by itself.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return Failed(FileState::Missing, Reason(error));
        return Failed(FileState::Unreadable, Reason(error));
    }
    if (!S_ISREG(st.st_mode))
        return Failed(FileState::NotAFile, "not a regular file");
    if (static_cast<unsigned long long>(st.st_size) > limit)
        return Failed(FileState::TooLarge, "too large");

    // O_NONBLOCK in case something else now stands there; it does nothing
    // to a regular file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        return Failed(error == ENOENT ? FileState::Missing : FileState::Unreadable, Reason(error));
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        return Failed(FileState::NotAFile, "not a regular file");
    }

    TextFile file;
    file.state = FileState::Read;
    // Sized by what the file says, but read to its real end: it may be
    // growing, or be one of the files whose size says nothing.
    file.bytes.resize(std::min<std::size_t>(static_cast<std::size_t>(opened.st_size), limit) + 1);
    std::size_t done = 0;
    for (;;) {
        if (done == file.bytes.size()) {
            if (done > limit)
                break;
            file.bytes.resize(std::min(limit + 1, done * 2 + 4096));
        }
        const ssize_t n = ::read(fd, file.bytes.data() + done, file.bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            return Failed(FileState::Unreadable, Reason(error));
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (done > limit)
        return Failed(FileState::TooLarge, "too large");
    file.bytes.resize(done);
    return file;
}

bool IsRegularFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace chess
