// The lock that tells the running copies of the program apart.

#include "FileLock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace chess {
namespace {

using Outcome = FileLock::Outcome;

enum class Stands { Nothing, HeldByAnother, LeftByACrash, Fifo, Folder, LinkToFile };

struct LockRow {
    const char* name;
    Stands stands;
    bool create;
    Outcome outcome;
};

const LockRow lockRows[] = {
    {"NothingThereToLook", Stands::Nothing, false, Outcome::Absent},
    {"NothingThereToTake", Stands::Nothing, true, Outcome::Taken},
    {"HeldByAnotherCopy", Stands::HeldByAnother, true, Outcome::Held},
    {"LeftByACrash", Stands::LeftByACrash, false, Outcome::Taken},
    // Neither waits for a writer nor counts as free.
    {"Fifo", Stands::Fifo, true, Outcome::Failed},
    {"Folder", Stands::Folder, true, Outcome::Failed},
    {"LinkToAFile", Stands::LinkToFile, true, Outcome::Failed},
};

class FileLockTest : public testing::TestWithParam<LockRow> {};

TEST_P(FileLockTest, TellsWhoHoldsIt)
{
    const LockRow& row = GetParam();
    char pattern[] = "/tmp/bodlany-lock-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern, path = dir + "/game.lock";
    FileLock other;
    switch (row.stands) {
    case Stands::Nothing:
        break;
    case Stands::HeldByAnother:
        ASSERT_EQ(other.TryTake(path, true), Outcome::Taken);
        break;
    case Stands::LeftByACrash:
        std::ofstream(path).put('\n');
        break;
    case Stands::Fifo:
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        break;
    case Stands::Folder:
        ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
        break;
    case Stands::LinkToFile:
        std::ofstream(dir + "/target").put('\n');
        ASSERT_EQ(symlink("target", path.c_str()), 0);
        break;
    }
    FileLock lock;
    EXPECT_EQ(lock.TryTake(path, row.create), row.outcome);
    EXPECT_EQ(lock.Held(), row.outcome == Outcome::Taken);
    if (lock.Held()) {
        // Let go and removed: the next one finds nobody, and may take it.
        lock.Release(true);
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_EQ(other.TryTake(path, false), Outcome::Absent);
        EXPECT_EQ(other.TryTake(path, true), Outcome::Taken);
        EXPECT_EQ(lock.TryTake(path, true), Outcome::Held);
    }
    other.Release(false);
    std::filesystem::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Stands, FileLockTest, testing::ValuesIn(lockRows),
                         [](const testing::TestParamInfo<LockRow>& info) { return info.param.name; });

}  // namespace
}  // namespace chess
