#pragma once
// Writes files on a thread of its own, for files written so often that the
// window must not wait for the disk (the unfinished game, after every move):
// on a slow card one durable write takes a large part of a second, and the
// next move would wait for it.
//
// Only the latest content of a file matters: a write that has not started
// yet is replaced by a newer one of the same file. Writes and removals of a
// file happen in the order they were asked for. The writer's thread takes no
// signal sent to the process; a write past a file-size limit is reported.

#include "AtomicFile.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace chess {

struct WriteOutcome {
    std::string path;
    bool removal = false;  // Remove rather than Submit
    bool ok = false;
    std::string error;  // why not, one line, when !ok
};

class BackgroundWriter {
public:
    // Called on the writer's own thread once for every write or removal
    // carried out (a replaced write is never carried out), in their order.
    // It must not throw and must not call Flush; a window forwards it to its
    // own thread.
    using Report = std::function<void(const WriteOutcome&)>;

    explicit BackgroundWriter(WriteOptions options = {}, Report report = {});
    // Waits for every write asked for, as Flush does.
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // Returns at once; the file is written through WriteFileAtomically.
    void Submit(std::string path, std::string bytes);
    // Returns at once; the file goes after every write of it asked for so far.
    void Remove(std::string path);
    // Blocks until everything asked for before the call is on the disk and
    // reported. For the end of the program, also when a signal ends it
    // (from the code that handles it, not from the signal handler itself).
    void Flush();

private:
    struct Job {
        std::uint64_t id;
        std::string path;
        bool removal;
        std::string bytes;
    };
    void Run();

    const WriteOptions options_;
    const Report report_;
    std::mutex mutex_;
    std::condition_variable wake_;      // the worker: a job, or the end
    std::condition_variable finished_;  // Flush: a job done
    std::deque<Job> pending_;           // in order of their ids
    std::uint64_t nextId_ = 1;
    std::uint64_t running_ = 0;  // the job being carried out, 0 for none
    bool stopping_ = false;
    std::thread worker_;  // last: starts once the rest is ready
};

}  // namespace chess
