#include "AtomicFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace chess {

namespace {

// strerror may share one buffer between threads; the writer runs on its own.
[[maybe_unused]] const char* ChooseMessage(int result, const char* buffer)  // XSI strerror_r
{
    return result == 0 ? buffer : "unknown error";
}
[[maybe_unused]] const char* ChooseMessage(const char* message, const char*)  // GNU strerror_r
{
    return message;
}

std::string ErrorText(int error)
{
    char buffer[128] = {};
    return ChooseMessage(::strerror_r(error, buffer, sizeof buffer), buffer);
}

bool Fail(std::string* error, std::string what)
{
    if (error)
        *error = std::move(what);
    return false;
}

bool FailErrno(std::string* error, const char* what, int code)
{
    return Fail(error, std::string(what) + ": " + ErrorText(code));
}

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// A new or removed name reaches the disk only with its folder: without this a
// crash may bring back the old file. 0, or the errno of a failed sync.
int SyncFolder(const std::string& path)
{
    const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0;  // a folder we may write but not read: nothing more can be done
    int result = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    // Some file systems cannot sync a folder at all and say so with EINVAL.
    return result == EINVAL ? 0 : result;
}

// A write in progress never takes this long; a temporary file older than
// this was left by a write that was killed.
constexpr time_t StaleAfterSeconds = 120;

bool IsTemporaryName(std::string_view name, std::string_view base)
{
    if (name.size() != base.size() + 7 || name.substr(0, base.size()) != base || name[base.size()] != '.')
        return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(base.size()) + 1, name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// Removes what writes of this file that were killed half-way left behind:
// our own temporary files, old enough that no write can still be using them.
void RemoveStaleTemporaries(const std::string& path)
{
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const time_t now = ::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsTemporaryName(entry->d_name, base))
            continue;
        const std::string stray = folder + (slash == std::string::npos ? "/" : "") + entry->d_name;
        struct stat st {};
        if (::lstat(stray.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()
            && st.st_mtime + StaleAfterSeconds < now)
            ::unlink(stray.c_str());
    }
    ::closedir(dir);
}

// Creates path + "." + six letters or digits, as mkstemp names it, but with
// the given mode (less the umask) rather than 0600.
int CreateTemporary(const std::string& path, mode_t mode, std::string& name)
{
    static constexpr char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = path + ".";
        for (int i = 0; i < 6; ++i)
            name += letters[random() % (sizeof letters - 1)];
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The whole content, through short writes and interruptions. 0 or an errno.
int WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;  // no progress and no reason: retrying would spin
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

}  // namespace

bool WriteFileAtomically(const std::string& linkOrPath, std::string_view bytes, const WriteOptions& options,
                         std::string* error)
{
    if (linkOrPath.empty())
        return Fail(error, "no file name");
    if (bytes.size() > options.maxBytes)
        return Fail(error, "the content is too large (" + std::to_string(bytes.size()) + " bytes, at most "
                               + std::to_string(options.maxBytes) + " can be read back)");

    std::string path = linkOrPath;
    if (char* real = ::realpath(linkOrPath.c_str(), nullptr)) {
        path = real;
        std::free(real);
    }

    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return FailErrno(error, "cannot look at it", errno);
    if (exists) {
        if (!S_ISREG(old.st_mode))
            return Fail(error, "it is not a regular file");
        if (static_cast<unsigned long long>(old.st_size) > options.maxExistingBytes)
            return Fail(error, "it is too large to be one of this program's files");
        if (options.keepReadOnly
            && ((old.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0))
            return Fail(error, "the file is read-only");
        if (options.requireReadable && ::faccessat(AT_FDCWD, path.c_str(), R_OK, AT_EACCESS) != 0)
            return Fail(error, "the file cannot be read");
    }

    RemoveStaleTemporaries(path);
    std::string temp;
    const int fd = CreateTemporary(path, exists ? 0600 : 0666, temp);
    if (fd < 0)
        return FailErrno(error, "cannot create a file beside it", errno);
    // Every failure from here on leaves the old file and takes the temporary away.
    auto abandon = [&](const char* what, int code, bool stillOpen) {
        if (stillOpen)
            ::close(fd);
        ::unlink(temp.c_str());
        return FailErrno(error, what, code);
    };
    if (exists) {
        // Owner and group only where the process may give them; the mode
        // after them, as a change of owner clears the set-id bits.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
            // Neither may be given away: the file becomes the user's own, as a new one would.
        }
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            return abandon("cannot keep its permissions", errno, true);
    }
    if (const int code = WriteAll(fd, bytes))
        return abandon("cannot write", code, true);
    // A full disk may show only here, on file systems that allocate late.
    if (::fsync(fd) != 0)
        return abandon("cannot write", errno, true);
    if (::close(fd) != 0)
        return abandon("cannot write", errno, false);
    if (std::rename(temp.c_str(), path.c_str()) != 0)
        return abandon("cannot replace", errno, false);
    if (const int code = SyncFolder(path))
        return FailErrno(error, "written, but it may not survive a crash", code);
    return true;
}

bool RemoveFileDurably(const std::string& path, std::string* error)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? true : FailErrno(error, "cannot look at it", errno);
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
        return Fail(error, "it is not a regular file");
    if (::unlink(path.c_str()) != 0)
        return errno == ENOENT ? true : FailErrno(error, "cannot remove it", errno);
    if (const int code = SyncFolder(path))
        return FailErrno(error, "removed, but it may come back after a crash", code);
    return true;
}

}  // namespace chess
