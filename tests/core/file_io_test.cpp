#include "lamp/file_io.h"
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
    EXPECT_EQ(modeOf(dir.file("new.bin")), 0640u);

    // Through a symbolic link the link stays and its target gets the bytes.
    fs::create_symlink(path, dir.file("link.bin"));
    writeFileAtomically(dir.file("link.bin"), {7, 7});
    EXPECT_TRUE(fs::is_symlink(dir.file("link.bin")));
    EXPECT_EQ(readBytes(path), (Bytes{7, 7}));
}

TEST(WriteFileAtomically, FailuresKeepTheOldFileAndLeaveNoTemporary)
{
    TempDir dir;
    const std::string path = dir.file("keep.bin");
    const Bytes old = {4, 5, 6};
    writeBytes(path, old);
    ::chmod(path.c_str(), 0444);
    EXPECT_EQ(errorNumber([&] { writeFileAtomically(path, {1}); }), 70);
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
    EXPECT_TRUE(fileExists(path) && !fileExists(dir.file("folder")) && !fileExists(dir.file("absent")));
    EXPECT_EQ(errorNumber([&] { writeFileAtomically(dir.file("folder"), {1}); }), 75);
    EXPECT_TRUE(fs::is_empty(dir.file("folder")));
    EXPECT_EQ(errorNumber([&] { writeFileAtomically(dir.file("no/such/folder.bin"), {1}); }), 53);
    EXPECT_EQ(errorNumber([&] { createEmptyFileIfMissing(dir.file("no/such/folder.pat")); }), 53);
}

}  // namespace
}  // namespace rig
