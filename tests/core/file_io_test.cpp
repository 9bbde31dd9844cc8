#include "base/file_io.h"
#include "../common/child_process.h"
#include "../common/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rig {
namespace {

using test::errorNumber;
using test::errorText;
using test::patternBytes;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

namespace fs = std::filesystem;

using test::Bytes;

struct stat statOf(const std::string& path)
{
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info;
}

mode_t modeOf(const std::string& path) { return statOf(path).st_mode & 07777; }

constexpr uid_t nobody = 65534;
constexpr gid_t nogroup = 65534;

// Runs `action` in a child process as the user nobody; true when it ran without error.
bool asNobody(const std::function<void()>& action)
{
    return test::runInChild([&] {
               if (::setgroups(0, nullptr) != 0 || ::setgid(nogroup) != 0 || ::setuid(nobody) != 0)
                   return 3;
               try {
                   action();
               } catch (const RigError& error) {
                   std::fprintf(stderr, "as nobody: %d %s\n", error.number(), error.description().c_str());
                   return 1;
               }
               return 0;
           })
        .succeeded();
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

TEST(WriteFileAtomically, KeepsOwnerGroupModeAndOtherHardLinks)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root: only root can give a file to another user, to see that a save keeps its owner";
    TempDir dir;
    const std::string owned = dir.file("owned.lmp");
    writeBytes(owned, {1});
    ASSERT_EQ(::chown(owned.c_str(), nobody, nogroup), 0);
    ASSERT_EQ(::chmod(owned.c_str(), 0640), 0);
    writeFileAtomically(owned, {2, 2});
    EXPECT_EQ(statOf(owned).st_uid, nobody);
    EXPECT_EQ(statOf(owned).st_gid, nogroup);
    EXPECT_EQ(modeOf(owned), 0640u);

    // A second name of the file sees the new content: it was updated in place.
    ASSERT_EQ(::link(owned.c_str(), dir.file("second.lmp").c_str()), 0);
    writeFileAtomically(owned, {3, 3, 3});
    EXPECT_EQ(readBytes(dir.file("second.lmp")), (Bytes{3, 3, 3}));
    EXPECT_EQ(statOf(owned).st_nlink, 2u);
    EXPECT_EQ(statOf(owned).st_uid, nobody);
    std::vector<std::string> names = dir.names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"owned.lmp", "second.lmp"}));
}

// As an ordinary user: a colleague's group-writable file in a shared folder stays theirs,
// and a writable file in a folder that takes no new file is updated in place.
TEST(WriteFileAtomically, AnotherUsersFileAndAFolderThatTakesNoNewFile)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root: only root can set up files of two users and then write as the user nobody";
    TempDir dir;
    ASSERT_EQ(::chmod(dir.file("").c_str(), 0755), 0);
    for (const char* folder : {"shared", "locked", "tmp"})
        ASSERT_TRUE(fs::create_directory(dir.file(folder)));
    ASSERT_EQ(::chmod(dir.file("shared").c_str(), 01777), 0);
    ASSERT_EQ(::chown(dir.file("tmp").c_str(), nobody, nogroup), 0);
    const std::string colleagues = dir.file("shared/patch.pat");
    writeBytes(colleagues, patternBytes(3000, 1));
    ASSERT_EQ(::chown(colleagues.c_str(), 0, nogroup), 0);
    ASSERT_EQ(::chmod(colleagues.c_str(), 0664), 0);
    const std::string mine = dir.file("locked/mine.lmp");
    writeBytes(mine, patternBytes(1622, 2));
    ASSERT_EQ(::chown(mine.c_str(), nobody, nogroup), 0);
    ASSERT_EQ(::chmod(dir.file("locked").c_str(), 0555), 0);
    ::setenv("TMPDIR", dir.file("tmp").c_str(), 1);

    EXPECT_TRUE(asNobody([&] {
        writeFileAtomically(colleagues, {5, 5});
        writeFileAtomically(mine, {6});
    }));
    ::unsetenv("TMPDIR");
    EXPECT_EQ(readBytes(colleagues), (Bytes{5, 5}));
    EXPECT_EQ(statOf(colleagues).st_uid, 0u);
    EXPECT_EQ(statOf(colleagues).st_gid, nogroup);
    EXPECT_EQ(modeOf(colleagues), 0664u);
    EXPECT_EQ(readBytes(mine), Bytes{6});
    EXPECT_EQ(statOf(mine).st_uid, nobody);
    EXPECT_TRUE(fs::is_empty(dir.file("tmp"))) << "the copy made before the update was left";
    EXPECT_EQ(fs::directory_iterator(dir.file("shared"))->path().filename(), "patch.pat");
}

TEST(WriteFileAtomically, DanglingLinksAndRefusedReplacements)
{
    TempDir dir;
    fs::create_symlink("gone/missing.lmp", dir.file("dangling.lmp"));
    const std::string why = errorText([&] { writeFileAtomically(dir.file("dangling.lmp"), {1}); });
    EXPECT_EQ(why, "The link points to gone/missing.lmp, which does not exist");
    EXPECT_TRUE(fs::is_symlink(dir.file("dangling.lmp")));

    writeBytes(dir.file("there.lmp"), {9});
    EXPECT_EQ(errorNumber([&] { writeFileAtomically(dir.file("there.lmp"), {1}, Existing::Refuse); }), 58);
    EXPECT_EQ(readBytes(dir.file("there.lmp")), Bytes{9});
    writeFileAtomically(dir.file("new.lmp"), {1}, Existing::Refuse);
    EXPECT_EQ(readBytes(dir.file("new.lmp")), Bytes{1});

    // In a folder held open, a link of the target's name is refused, never followed.
    writeBytes(dir.file("victim"), {7});
    fs::create_symlink(dir.file("victim"), dir.file("link.lmp"));
    const Folder folder(dir.file(""));
    EXPECT_EQ(folder.entry("link.lmp"), Folder::Entry::Other);
    EXPECT_EQ(errorNumber([&] { writeFileInFolder(folder, "link.lmp", {8}); }), 75);
    EXPECT_EQ(readBytes(dir.file("victim")), Bytes{7});
}

TEST(PrintableName, EscapesControlCharactersAndBytesThatAreNotUtf8)
{
    EXPECT_EQ(printableName("B\xc3\xbchne/a\nb\tc.lmp"), "B\xc3\xbchne/a\\x0ab\\x09c.lmp");
    EXPECT_EQ(printableName("bad\xff\xfe.lmp"), "bad\\xff\\xfe.lmp");
    EXPECT_EQ(printableName("\xc2\x85\x7f\xe2\x82"), "\\xc2\\x85\\x7f\\xe2\\x82");
}

}  // namespace
}  // namespace rig
