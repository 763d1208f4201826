#include "FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace chess {

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept
{
    if (this != &other) {
        Release(false);
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

FileLock::Outcome FileLock::TryTake(const std::string& path, bool create)
{
    Release(false);
    // A few rounds at most: each one means another holder removed the file
    // between our open and our lock.
    for (int attempt = 0; attempt < 16; ++attempt) {
        // Non-blocking, so that a FIFO of that name cannot hold the program up.
        const int flags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | (create ? O_CREAT : 0);
        const int fd = ::open(path.c_str(), flags, 0600);
        if (fd < 0)
            return errno == ENOENT && !create ? Outcome::Absent : Outcome::Failed;
        struct stat opened {};
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            ::close(fd);
            return Outcome::Failed;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            return error == EWOULDBLOCK ? Outcome::Held : Outcome::Failed;
        }
        struct stat named {};
        const bool there = ::lstat(path.c_str(), &named) == 0;
        if (there && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
            fd_ = fd;
            path_ = path;
            return Outcome::Taken;
        }
        ::close(fd);
        if (!there && !create)
            return Outcome::Absent;
    }
    return Outcome::Failed;
}

void FileLock::Release(bool remove)
{
    if (fd_ < 0)
        return;
    // Removed while still held: nobody can take the name in between and
    // then lose it.
    if (remove)
        ::unlink(path_.c_str());
    ::close(fd_);
    fd_ = -1;
    path_.clear();
}

}  // namespace chess
