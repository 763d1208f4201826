#include "BackgroundWriter.h"

#include <algorithm>
#include <csignal>
#include <exception>
#include <pthread.h>

namespace chess {

BackgroundWriter::BackgroundWriter(WriteOptions options, Report report)
    : options_(options), report_(std::move(report)), worker_(&BackgroundWriter::Run, this)
{
}

BackgroundWriter::~BackgroundWriter()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    worker_.join();  // the worker leaves only once nothing is pending
}

void BackgroundWriter::Submit(std::string path, std::string bytes)
{
    std::lock_guard lock(mutex_);
    for (auto job = pending_.rbegin(); job != pending_.rend(); ++job) {
        if (job->path != path)
            continue;
        // Taking the place of the older content, not a place at the end: it
        // was due first, and a removal queued after it must stay after it.
        if (!job->removal) {
            job->bytes.swap(bytes);  // the old content is freed after the lock is let go
            return;
        }
        break;
    }
    pending_.push_back({nextId_++, std::move(path), false, std::move(bytes)});
    wake_.notify_one();
}

void BackgroundWriter::Remove(std::string path)
{
    std::deque<Job> dropped;  // freed after the lock is let go
    std::lock_guard lock(mutex_);
    // Writes of the file that have not started would only be undone.
    const auto superseded = std::stable_partition(pending_.begin(), pending_.end(),
                                                  [&](const Job& job) { return job.removal || job.path != path; });
    std::move(superseded, pending_.end(), std::back_inserter(dropped));
    pending_.erase(superseded, pending_.end());
    if (!dropped.empty())
        finished_.notify_all();
    const bool alreadyGoing = std::any_of(pending_.begin(), pending_.end(),
                                          [&](const Job& job) { return job.path == path; });
    if (alreadyGoing)
        return;
    pending_.push_back({nextId_++, std::move(path), true, {}});
    wake_.notify_one();
}

void BackgroundWriter::Flush()
{
    // From the report, the worker would wait for itself.
    if (std::this_thread::get_id() == worker_.get_id())
        return;
    std::unique_lock lock(mutex_);
    const std::uint64_t before = nextId_;
    finished_.wait(lock, [&] {
        return (running_ == 0 || running_ >= before) && (pending_.empty() || pending_.front().id >= before);
    });
}

void BackgroundWriter::Run()
{
    // Signals sent to the process are left to the program's other threads,
    // where its handlers expect to run. SIGXFSZ too: over a file-size limit a
    // write then fails with EFBIG and is reported, instead of ending the
    // program as the signal would. Faults stay deliverable.
    sigset_t asynchronous;
    sigfillset(&asynchronous);
    for (const int fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS})
        sigdelset(&asynchronous, fault);
    pthread_sigmask(SIG_BLOCK, &asynchronous, nullptr);

    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || !pending_.empty(); });
        if (pending_.empty())
            return;
        Job job = std::move(pending_.front());
        pending_.pop_front();
        running_ = job.id;
        lock.unlock();

        WriteOutcome outcome;
        outcome.removal = job.removal;
        try {
            outcome.ok = job.removal ? RemoveFileDurably(job.path, &outcome.error)
                                     : WriteFileAtomically(job.path, job.bytes, options_, &outcome.error);
        } catch (const std::exception& e) {  // out of memory for a name: this write is lost, not the program
            outcome.ok = false;
            outcome.error = e.what();
        }
        job.bytes = {};
        outcome.path = std::move(job.path);
        if (report_)
            report_(outcome);

        lock.lock();
        running_ = 0;
        finished_.notify_all();
    }
}

}  // namespace chess
