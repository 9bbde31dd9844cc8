#include "shell/file_io.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <sys/stat.h>

namespace rig {
namespace {

using test::errorNumber;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

mode_t modeOf(const std::string& path)
{
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(FileErrors, ErrnoMapsOntoProgramNumbers)
{
    const struct {
        int err;
        int number;
    } cases[] = {{EACCES, 70}, {EPERM, 70}, {EROFS, 70}, {ENOENT, 53},
                 {ENOSPC, 61}, {EISDIR, 75}, {EIO, 75},  {ENAMETOOLONG, 75}};
    for (const auto& c : cases)
        EXPECT_EQ(errorFromErrno(c.err).number(), c.number) << "errno " << c.err;
    EXPECT_EQ(errorFromErrno(EACCES).description(), "Permission denied");
    EXPECT_EQ(errorFromErrno(ENOENT).description(), "File not found");
}

TEST(ReadFileBytes, ReadsAtMostTheLimitAndRefusesWhatIsNoFile)
{
    TempDir dir;
    writeBytes(dir.file("data"), {1, 2, 3, 4, 5});
    EXPECT_EQ(readFileBytes(dir.file("data"), 3), (Bytes{1, 2, 3}));
    EXPECT_EQ(readFileBytes(dir.file("data"), 100), (Bytes{1, 2, 3, 4, 5}));

    fs::create_directory(dir.file("folder"));
    EXPECT_EQ(errorNumber([&] { (void)readFileBytes(dir.file("folder"), 10); }), 75);
    EXPECT_EQ(errorNumber([&] { (void)readFileBytes(dir.file("absent"), 10); }), 53);
    EXPECT_FALSE(fileExists(dir.file("folder")));
    EXPECT_FALSE(fileExists(dir.file("absent")));
    EXPECT_TRUE(fileExists(dir.file("data")));
}

TEST(WriteFileAtomically, ReplacesTheFileWithExactlyTheNewBytes)
{
    TempDir dir;
    const std::string path = dir.file("target.bin");
    writeBytes(path, Bytes(4000, 0xEE));
    ::chmod(path.c_str(), 0640);

    writeFileAtomically(path, {1, 2, 3});
    EXPECT_EQ(readBytes(path), (Bytes{1, 2, 3}));
    EXPECT_EQ(modeOf(path), 0640u);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"target.bin"});

    const mode_t mask = ::umask(027);
    writeFileAtomically(dir.file("new.bin"), {});
    ::umask(mask);
    EXPECT_TRUE(fileExists(dir.file("new.bin")));
    EXPECT_EQ(modeOf(dir.file("new.bin")), 0640u);
}

TEST(WriteFileAtomically, WritesThroughASymbolicLink)
{
    TempDir dir;
    writeBytes(dir.file("real.bin"), {9});
    fs::create_symlink(dir.file("real.bin"), dir.file("link.bin"));
    writeFileAtomically(dir.file("link.bin"), {7, 7});
    EXPECT_TRUE(fs::is_symlink(dir.file("link.bin")));
    EXPECT_EQ(readBytes(dir.file("real.bin")), (Bytes{7, 7}));
}

TEST(WriteFileAtomically, FailuresKeepTheOldFileAndLeaveNoTemporary)
{
    TempDir dir;
    const std::string path = dir.file("keep.bin");
    const Bytes old = {4, 5, 6};
    writeBytes(path, old);

    ::chmod(path.c_str(), 0444);
    EXPECT_EQ(errorNumber([&] { writeFileAtomically(path, {1}); }), 70);
    EXPECT_EQ(readBytes(path), old);
    ::chmod(path.c_str(), 0644);

    // A failing device partway through the write.
    testing::failNextWrites(ENOSPC, 1);
    EXPECT_EQ(errorNumber([&] { writeFileAtomically(path, Bytes(100, 1)); }), 61);
    testing::failNextWrites(EIO, 1);
    EXPECT_EQ(errorNumber([&] { writeFileAtomically(dir.file("other.bin"), Bytes(100, 1)); }), 75);
    testing::failNextWrites(0, 0);
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"keep.bin"});

    fs::create_directory(dir.file("folder"));
    EXPECT_EQ(errorNumber([&] { writeFileAtomically(dir.file("folder"), {1}); }), 75);
    EXPECT_TRUE(fs::is_empty(dir.file("folder")));
    EXPECT_EQ(errorNumber([&] { writeFileAtomically(dir.file("no/such/folder.bin"), {1}); }), 53);
    EXPECT_EQ(errorNumber([&] { createEmptyFileIfMissing(dir.file("no/such/folder.pat")); }), 53);
}

}  // namespace
}  // namespace rig
