// Writing a file whole or not at all, and writing it off the window's thread.

#include "AtomicFile.h"
#include "BackgroundWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <iostream>
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

// What stands at a name, as far as a write could change it.
std::string Look(const std::string& path)
{
    struct stat link {};
    struct stat st {};
    if (lstat(path.c_str(), &link) != 0 || stat(path.c_str(), &st) != 0)
        return "nothing";
    return std::to_string(link.st_mode) + " " + std::to_string(st.st_mode) + " "
         + (S_ISREG(st.st_mode) ? Slurp(path) : "");
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
        std::filesystem::remove_all(dir);
    }
    long Entries() const { return std::distance(std::filesystem::directory_iterator(dir), {}); }
    std::string dir;
};

enum class Stands { File, LinkToFile, LinkToDevNull, Fifo, Folder, MissingFolder };

struct FaultRow {
    const char* name;
    Stands stands;
    mode_t mode;  // of the file there
    bool readOnlyFolder;
    bool asNobody;         // root may write anywhere
    rlim_t fileSizeLimit;  // 0 for none; SIGXFSZ ignored, the write fails with EFBIG as a full disk's with ENOSPC
    std::size_t maxBytes, size;
    const char* reason;  // expected in the reason; nullptr: the write succeeds
};

constexpr std::size_t any = SIZE_MAX;

const FaultRow faultRows[] = {
    {"ReplacesAndKeepsTheMode", Stands::File, 0640, false, false, 0, any, 5000, nullptr},
    {"ReplacesWhatALinkPointsAt", Stands::LinkToFile, 0600, false, false, 0, any, 100, nullptr},
    {"DiskFullPartWayThrough", Stands::File, 0640, false, false, 4096, any, 65536, "cannot write: File too large"},
    {"ReadOnlyFolder", Stands::File, 0666, true, true, 0, any, 100, "Permission denied"},
    {"ReadOnlyFile", Stands::File, 0444, false, false, 0, any, 100, "read-only"},
    // As nobody, so that a writer that failed to refuse could not replace the system's /dev/null.
    {"LinkToDevNull", Stands::LinkToDevNull, 0, false, true, 0, any, 100, "not a regular file"},
    {"Fifo", Stands::Fifo, 0, false, false, 0, any, 100, "not a regular file"},
    {"Folder", Stands::Folder, 0, false, false, 0, any, 100, "not a regular file"},
    {"OverTheReadersLimit", Stands::File, 0644, false, false, 0, 100, 101, "too large"},
    {"MissingFolder", Stands::MissingFolder, 0, false, false, 0, any, 100, "No such file or directory"},
};

void PrintTo(const FaultRow& row, std::ostream* os)
{
    *os << row.name;
}

std::string Prepare(const FaultRow& row, const std::string& dir)
{
    const std::string path = dir + "/game.pgn", file = row.stands == Stands::LinkToFile ? dir + "/real.pgn" : path;
    switch (row.stands) {
    case Stands::File:
    case Stands::LinkToFile:
        std::ofstream(file, std::ios::binary) << "[Event \"old\"]\n\n1. e4 *\n";
        chmod(file.c_str(), row.mode);
        if (row.stands == Stands::LinkToFile)
            symlink("real.pgn", path.c_str());
        break;
    case Stands::LinkToDevNull:
        symlink("/dev/null", path.c_str());
        break;
    case Stands::Fifo:
        mkfifo(path.c_str(), 0644);
        break;
    case Stands::Folder:
        mkdir(path.c_str(), 0755);
        break;
    case Stands::MissingFolder:
        return dir + "/gone/game.pgn";
    }
    if (row.readOnlyFolder)
        chmod(dir.c_str(), 0555);
    return path;
}

class WriteFaults : public TempFolder, public testing::WithParamInterface<FaultRow> {};

TEST_P(WriteFaults, FailureLeavesTheOldFileAndNoTemporary)
{
    const FaultRow& row = GetParam();
    const std::string path = Prepare(row, dir), before = Look(path), bytes(row.size, 'n');
    const long entries = Entries();
    // In a child of its own, so that its limits end with it.
    EXPECT_EXIT(
        {
            if (row.asNobody && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                std::_Exit(3);
            if (row.fileSizeLimit) {
                std::signal(SIGXFSZ, SIG_IGN);
                rlimit limit{};
                limit.rlim_cur = limit.rlim_max = row.fileSizeLimit;
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            WriteOptions options;
            options.maxBytes = row.maxBytes;
            std::string reason;
            const bool ok = WriteFileAtomically(path, bytes, options, &reason);
            std::cerr << reason << std::flush;
            std::_Exit(ok ? 0 : reason.empty() || reason.find('\n') != std::string::npos ? 2 : 1);
        },
        testing::ExitedWithCode(row.reason ? 1 : 0), row.reason ? row.reason : "");
    chmod(dir.c_str(), 0755);
    EXPECT_EQ(Entries(), entries) << "a temporary file was left behind";
    const std::string modes = before.substr(0, before.find(' ', before.find(' ') + 1) + 1);
    EXPECT_EQ(Look(path), row.reason ? before : modes + bytes);
}

INSTANTIATE_TEST_SUITE_P(Rows, WriteFaults, testing::ValuesIn(faultRows),
                         [](const auto& info) { return std::string(info.param.name); });

// Keeps one line per write carried out. The first write of "hold" waits in
// its report until `release`, so that what is asked meanwhile queues up.
class Writes : public TempFolder {
protected:
    BackgroundWriter::Report Recorder()
    {
        return [this](const WriteOutcome& o) {
            done.push_back(o.path.substr(dir.size() + 1) + (o.removal ? " removed" : "")
                           + (o.ok ? "" : ": " + o.error));
            if (done.back() == "hold" && done.size() == 1) {
                holding.set_value();
                release.get_future().wait();
            }
        };
    }
    std::vector<std::string> done;  // only read once the writer is flushed
    std::promise<void> holding, release;
};

TEST_F(Writes, QueueKeepsTheLatestContentAndTheOrderOfRemovals)
{
    std::ofstream(dir + "/c") << "old c";
    std::ofstream(dir + "/d") << "old d";
    ASSERT_EQ(mkdir((dir + "/blocked").c_str(), 0755), 0);
    {
        BackgroundWriter writer({}, Recorder());
        writer.Submit(dir + "/hold", "h");
        holding.get_future().wait();
        for (const char* move : {"1", "2", "3"})
            writer.Submit(dir + "/a", move);
        writer.Submit(dir + "/blocked", "1");
        writer.Submit(dir + "/a", "4");
        writer.Submit(dir + "/blocked", "2");  // one failed write, one report
        writer.Submit(dir + "/c", "new c");    // a new game right after a move
        writer.Remove(dir + "/c");
        writer.Remove(dir + "/d");  // and a move right after a new game
        writer.Submit(dir + "/d", "new d");
        writer.Submit(dir + "/d", "newer d");

        auto flushed = std::async(std::launch::async, [&] { writer.Flush(); });
        EXPECT_EQ(flushed.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout) << "Flush did not wait";
        release.set_value();
        flushed.get();
        EXPECT_EQ(Slurp(dir + "/a"), "4");
        EXPECT_EQ(access((dir + "/c").c_str(), F_OK), -1);
        EXPECT_EQ(Slurp(dir + "/d"), "newer d");
        writer.Submit(dir + "/last", "last");  // the end writes what is left
    }
    EXPECT_EQ(Slurp(dir + "/last"), "last");
    EXPECT_EQ(done, (std::vector<std::string>{"hold", "a", "blocked: it is not a regular file", "c removed",
                                              "d removed", "d", "last"}));
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
            BackgroundWriter writer({}, Recorder());
            writer.Submit(dir + "/game.pgn", std::string(65536, 'n'));
            writer.Flush();
            std::cerr << done.at(0) << std::flush;
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "game.pgn: cannot write: File too large");
    EXPECT_EQ(Entries(), 0) << "a temporary file was left behind";
}

}  // namespace
}  // namespace chess
