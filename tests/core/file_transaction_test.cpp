#include "base/file_io.h"
#include "../common/child_process.h"
#include "../common/files.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace rig {
namespace {

using test::errorNumber;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

namespace fs = std::filesystem;

using test::Bytes;

TEST(FileTransaction, KeepsOriginalsOnDiskUntilItEnds)
{
    TempDir dir;
    const std::string replaced = dir.file("a.lmp"), linked = dir.file("b.lmp"), made = dir.file("c.lmp");
    const auto write3 = [&](FileTransaction& transaction) {
        writeBytes(replaced, {1});
        writeBytes(linked, {2});
        fs::remove(made);
        fs::remove(dir.file("b2.lmp"));
        fs::create_hard_link(linked, dir.file("b2.lmp"));  // updated in place
        writeFileAtomically(replaced, {10}, Existing::Replace, &transaction);
        writeFileAtomically(linked, {20}, Existing::Replace, &transaction);
        writeFileAtomically(made, {30}, Existing::Refuse, &transaction);
        EXPECT_EQ(dir.names().size(), 6u) << "each original kept beside its file";
    };
    {
        FileTransaction transaction;
        write3(transaction);
        EXPECT_TRUE(transaction.commit().empty());
        EXPECT_EQ(dir.names().size(), 4u);
        EXPECT_EQ(readBytes(dir.file("b2.lmp")), Bytes{20});
    }
    {
        FileTransaction transaction;
        write3(transaction);
        EXPECT_TRUE(transaction.rollback().empty());
        EXPECT_EQ(readBytes(replaced), Bytes{1});
        EXPECT_EQ(readBytes(dir.file("b2.lmp")), Bytes{2});
        EXPECT_FALSE(fs::exists(made));
        EXPECT_EQ(dir.names().size(), 3u);
    }
    {
        // A put-back that fails is reported by name, and the original stays on disk.
        FileTransaction transaction;
        write3(transaction);
        testing::failNextPutBacks(ENOSPC, 3);
        const std::vector<std::string> unexpected = transaction.rollback();
        testing::failNextPutBacks(0, 0);
        ASSERT_EQ(unexpected.size(), 3u);
        EXPECT_EQ(unexpected[0], made + ": made by this command, could not be removed (Disk full)");
        const std::string prefix = replaced + ": could not be put back (Disk full); the original is kept as " +
                                   dir.file(".a.lmp.");
        EXPECT_EQ(unexpected[2].substr(0, prefix.size()), prefix);
        const std::string kept = unexpected[2].substr(unexpected[2].find(" kept as ") + 9);
        EXPECT_EQ(readBytes(kept), Bytes{1});
        EXPECT_EQ(readBytes(replaced), Bytes{10});
    }
}

// Consoles read FAT disks, which have neither hard links nor a no-replace rename.
TEST(FileTransaction, WorksWithoutHardLinks)
{
    TempDir dir;
    const std::string replaced = dir.file("lamp.dat"), made = dir.file("showttl.dat");
    writeBytes(replaced, {1, 2});
    testing::setWithoutLinks(true);
    EXPECT_EQ(errorNumber([&] { writeFileAtomically(replaced, {9}, Existing::Refuse); }), 58);
    {
        FileTransaction transaction;
        writeFileAtomically(replaced, {3}, Existing::Replace, &transaction);
        writeFileAtomically(made, {4}, Existing::Refuse, &transaction);
        EXPECT_EQ(dir.names().size(), 3u) << "the original kept as a copy";
        EXPECT_TRUE(transaction.rollback().empty());
    }
    testing::setWithoutLinks(false);
    EXPECT_EQ(readBytes(replaced), (Bytes{1, 2}));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"lamp.dat"});
}

// Replacing a file never holds it in memory: a 1 GiB file replaced under a transaction
// leaves the peak memory of the process far below its size.
TEST(FileTransaction, MemoryDoesNotGrowWithTheReplacedFile)
{
    TempDir dir;
    const std::string big = dir.file("big.dat");
    {
        const int fd = ::open(big.c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_TRUE(fd >= 0 && ::ftruncate(fd, off_t{1} << 30) == 0 && ::close(fd) == 0);
    }
    // In a child, whose peak memory is this work's alone.
    EXPECT_TRUE(test::runInChild([&] {
                    struct rusage before {}, after {};
                    ::getrusage(RUSAGE_SELF, &before);
                    FileTransaction transaction;
                    writeFileAtomically(big, Bytes(30720, 1), Existing::Replace, &transaction);
                    const bool putBack = transaction.rollback().empty();
                    ::getrusage(RUSAGE_SELF, &after);
                    const long grownKiB = after.ru_maxrss - before.ru_maxrss;
                    return putBack && grownKiB < 64 * 1024 ? 0 : 1;
                }).succeeded());
    EXPECT_EQ(fs::file_size(big), std::uintmax_t{1} << 30);
}

}  // namespace
}  // namespace rig
