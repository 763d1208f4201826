#pragma once
// A lock that says "a running copy of the program holds this": an exclusive
// flock on a small file of its own. The kernel lets go of it when the process
// ends however it ends, so a crash leaves nothing locked. The file locked is
// never the file written: a file replaced by a rename is a new file, and a
// lock on the old one would guard nothing.
//
// The lock file may be removed by its last holder. Whoever opened it before
// the removal and got the lock after it holds a file nobody else can find:
// TryTake notices and tries again with the name, so that two holders can
// never each believe they hold the same name.

#include <string>

namespace chess {

class FileLock {
public:
    enum class Outcome {
        Taken,   // ours until Release or the end of the process
        Held,    // another holder has it (in this process or another)
        Absent,  // no lock file, and none was to be made: nobody holds it
        Failed,  // the file cannot be opened or made (permissions, something
                 // other than a regular file there): nobody can be told apart
    };

    FileLock() = default;
    ~FileLock() { Release(false); }
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock without waiting, making the file (empty, 0600) when
    // `create` is set. Any lock held before is let go first.
    Outcome TryTake(const std::string& path, bool create);

    bool Held() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }

    // Lets go, removing the lock file first when `remove` is set.
    void Release(bool remove);

private:
    int fd_ = -1;
    std::string path_;
};

}  // namespace chess
