// Writing a file whole or not at all, and writing it off the window's thread.

#include "AtomicFile.h"
#include "BackgroundWriter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <future>
#include <iostream>
#include <mutex>
#include <set>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace chess {
namespace {

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void Spit(const std::string& path, const std::string& bytes, mode_t mode = 0644)
{
    std::ofstream(path, std::ios::binary) << bytes;
    chmod(path.c_str(), mode);
}

std::set<std::string> Entries(const std::string& dir)
{
    std::set<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            names.insert(e->d_name);
        closedir(d);
    }
    return names;
}

// What stands at a name, as far as a write could change it.
struct Snapshot {
    bool exists = false, link = false;
    mode_t mode = 0;  // after links
    std::string bytes;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Look(const std::string& path)
{
    Snapshot s;
    struct stat st {};
    s.link = lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    s.exists = stat(path.c_str(), &st) == 0;
    s.mode = s.exists ? st.st_mode : 0;
    if (s.exists && S_ISREG(st.st_mode))
        s.bytes = Slurp(path);
    return s;
}

class TempFolder : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/bodlany-atomic-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        chmod(dir.c_str(), 0755);  // for the rows run as nobody
    }
    void TearDown() override
    {
        chmod(dir.c_str(), 0755);
        std::system(("rm -rf '" + dir + "'").c_str());
    }
    std::string dir;
};

const std::string oldBytes = "[Event \"old\"]\n\n1. e4 *\n";

struct FaultRow {
    const char* name;
    std::string (*prepare)(const std::string& dir);  // sets the scene, gives the name to write
    void (*inChild)();                               // narrows what the writing process may do
    WriteOptions options;
    std::size_t size;    // of the new content
    const char* reason;  // expected in the reason; nullptr: the write succeeds
};

// Root may write anywhere, so permission rows run as nobody.
void AsNobody()
{
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        std::_Exit(3);
}

WriteOptions AtMost(std::size_t bytes)
{
    WriteOptions o;
    o.maxBytes = bytes;
    return o;
}

const FaultRow faultRows[] = {
    {"ReplacesAndKeepsTheMode", [](const std::string& d) { Spit(d + "/game.pgn", oldBytes, 0640); return d + "/game.pgn"; },
     nullptr, {}, 5000, nullptr},
    {"ReplacesWhatALinkPointsAt",
     [](const std::string& d) {
         Spit(d + "/real.pgn", oldBytes, 0600);
         symlink("real.pgn", (d + "/game.pgn").c_str());
         return d + "/game.pgn";
     },
     nullptr, {}, 100, nullptr},
    // The file-size limit fails a write with EFBIG after a short write, as a full disk does with ENOSPC.
    {"DiskFullPartWayThrough", [](const std::string& d) { Spit(d + "/game.pgn", oldBytes, 0640); return d + "/game.pgn"; },
     [] {
         std::signal(SIGXFSZ, SIG_IGN);
         const rlimit limit{4096, 4096};
         setrlimit(RLIMIT_FSIZE, &limit);
     },
     {}, 65536, "cannot write: File too large"},
    {"ReadOnlyFolder",
     [](const std::string& d) {
         Spit(d + "/game.pgn", oldBytes, 0666);  // only the folder stands in the way
         chmod(d.c_str(), 0555);
         return d + "/game.pgn";
     },
     AsNobody, {}, 100, "Permission denied"},
    {"ReadOnlyFile", [](const std::string& d) { Spit(d + "/game.pgn", oldBytes, 0444); return d + "/game.pgn"; },
     nullptr, {}, 100, "read-only"},
    // As nobody, so that a writer that failed to refuse could not replace the
    // system's /dev/null, as root could.
    {"LinkToDevNull",
     [](const std::string& d) {
         symlink("/dev/null", (d + "/game.pgn").c_str());
         return d + "/game.pgn";
     },
     AsNobody, {}, 100, "not a regular file"},
    {"Fifo", [](const std::string& d) { mkfifo((d + "/game.pgn").c_str(), 0644); return d + "/game.pgn"; },
     nullptr, {}, 100, "not a regular file"},
    {"Folder", [](const std::string& d) { mkdir((d + "/game.pgn").c_str(), 0755); return d + "/game.pgn"; },
     nullptr, {}, 100, "not a regular file"},
    {"OverTheReadersLimit", [](const std::string& d) { Spit(d + "/game.pgn", oldBytes); return d + "/game.pgn"; },
     nullptr, AtMost(100), 101, "too large"},
    {"MissingFolder", [](const std::string& d) { return d + "/gone/game.pgn"; },
     nullptr, {}, 100, "No such file or directory"},
};

void PrintTo(const FaultRow& row, std::ostream* os) { *os << row.name; }

class WriteFaults : public TempFolder, public testing::WithParamInterface<FaultRow> {};

TEST_P(WriteFaults, FailureLeavesTheOldFileAndNoTemporary)
{
    const FaultRow& row = GetParam();
    const std::string path = row.prepare(dir);
    const Snapshot before = Look(path);
    const auto entries = Entries(dir);
    const std::string bytes(row.size, 'n');
    // Each row writes in a child of its own, so that its limits end with it.
    EXPECT_EXIT(
        {
            if (row.inChild)
                row.inChild();
            std::string reason;
            const bool ok = WriteFileAtomically(path, bytes, row.options, &reason);
            std::cerr << reason << std::flush;
            std::_Exit(ok ? 0 : reason.empty() || reason.find('\n') != std::string::npos ? 2 : 1);
        },
        testing::ExitedWithCode(row.reason ? 1 : 0), row.reason ? row.reason : "");
    chmod(dir.c_str(), 0755);
    EXPECT_EQ(Entries(dir), entries) << "a temporary file was left behind";
    if (row.reason) {
        EXPECT_EQ(Look(path), before);
    } else {
        Snapshot expected = before;
        expected.bytes = bytes;
        EXPECT_EQ(Look(path), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, WriteFaults, testing::ValuesIn(faultRows),
                         [](const auto& info) { return std::string(info.param.name); });

// Reports kept as they arrive; the first report of `holdAt` waits until
// Release, so that what is asked meanwhile queues up behind it.
class Writes : public TempFolder {
protected:
    BackgroundWriter::Report Recorder(const std::string& holdAt)
    {
        return [this, holdAt](const WriteOutcome& outcome) {
            {
                std::lock_guard lock(mutex);
                outcomes.push_back(outcome);
            }
            if (outcome.path == holdAt && !held.exchange(true)) {
                holding.set_value();
                release.get_future().wait();
            }
        };
    }
    std::vector<std::pair<std::string, bool>> Done()
    {
        std::lock_guard lock(mutex);
        std::vector<std::pair<std::string, bool>> done;
        for (const auto& o : outcomes)
            done.emplace_back(o.path.substr(dir.size() + 1), o.removal);
        return done;
    }
    std::mutex mutex;
    std::vector<WriteOutcome> outcomes;
    std::atomic<bool> held{false};
    std::promise<void> holding, release;
};

TEST_F(Writes, QueueKeepsTheLatestContentAndTheOrderOfRemovals)
{
    Spit(dir + "/c", "old c");
    Spit(dir + "/d", "old d");
    BackgroundWriter writer({}, Recorder(dir + "/hold"));
    writer.Submit(dir + "/hold", "h");
    holding.get_future().wait();
    for (const char* move : {"1", "2", "3"})
        writer.Submit(dir + "/a", move);
    writer.Submit(dir + "/b", "b");
    writer.Submit(dir + "/a", "4");
    writer.Submit(dir + "/c", "new c");  // a new game right after a move
    writer.Remove(dir + "/c");
    writer.Remove(dir + "/d");  // and a move right after a new game
    writer.Submit(dir + "/d", "new d");
    writer.Submit(dir + "/d", "newer d");

    auto flushed = std::async(std::launch::async, [&] { writer.Flush(); });
    EXPECT_EQ(flushed.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout) << "Flush did not wait";
    release.set_value();
    flushed.get();
    EXPECT_EQ(Slurp(dir + "/a"), "4");
    EXPECT_EQ(Slurp(dir + "/b"), "b");
    EXPECT_NE(access((dir + "/c").c_str(), F_OK), 0);
    EXPECT_EQ(Slurp(dir + "/d"), "newer d");
    using Done = std::vector<std::pair<std::string, bool>>;
    EXPECT_EQ(this->Done(), (Done{{"hold", false}, {"a", false}, {"b", false}, {"c", true}, {"d", true}, {"d", false}}));
}

TEST_F(Writes, EachFailedWriteIsReportedOnceAndTheEndWritesWhatIsLeft)
{
    ASSERT_EQ(mkdir((dir + "/blocked").c_str(), 0755), 0);
    {
        BackgroundWriter writer({}, Recorder(dir + "/hold"));
        writer.Submit(dir + "/hold", "h");
        holding.get_future().wait();
        writer.Submit(dir + "/blocked", "1");
        writer.Submit(dir + "/blocked", "2");
        release.set_value();
        writer.Flush();
        writer.Submit(dir + "/blocked", "3");
        writer.Submit(dir + "/last", "last");
    }
    EXPECT_EQ(Slurp(dir + "/last"), "last");
    std::lock_guard lock(mutex);
    ASSERT_EQ(outcomes.size(), 4u);
    for (const std::size_t i : {1, 2}) {
        EXPECT_FALSE(outcomes[i].ok);
        EXPECT_EQ(outcomes[i].error, "it is not a regular file");
    }
    EXPECT_TRUE(outcomes[3].ok);
}

// A user's file-size limit (ulimit -f) ends a process that writes past it,
// unless the writing thread holds the signal off; the game must be reported
// unwritten instead.
TEST_F(Writes, FileSizeLimitIsReportedNotFatal)
{
    EXPECT_EXIT(
        {
            rlimit limit{};
            limit.rlim_cur = limit.rlim_max = 4096;
            setrlimit(RLIMIT_FSIZE, &limit);
            BackgroundWriter writer({}, Recorder(""));
            writer.Submit(dir + "/game.pgn", std::string(65536, 'n'));
            writer.Flush();
            std::cerr << outcomes.at(0).error << std::flush;
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "cannot write: File too large");
    EXPECT_EQ(Entries(dir).size(), 2u) << "a temporary file was left behind";
}

}  // namespace
}  // namespace chess
