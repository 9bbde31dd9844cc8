// Every way a save or an export can fail must leave what the user had on disk
// exactly as it was, leave no temporary file behind, and say what happened.

#include "../common/files.h"
#include "core/console_file.h"
#include "windows/frmExport.h"
#include "windows/frmDocument.h"
#include "windows/frmStageScreen.h"
#include "base/file_io.h"
#include "window_helpers.h"

#include <QDir>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace {

enum Write { LampSave, LampSaveAs, PatchSave, PatchSaveAs, ExportLampData, ExportShowTitle };
enum Kind { ReadOnlyFile, ReadOnlyFolder, DiskFull, FolderInTheWay, PipeInTheWay, LinkInTheWay, DanglingLink };
const char* const kindNames[] = {"ReadOnlyFile", "ReadOnlyFolder", "DiskFull", "FolderInTheWay", "PipeInTheWay",
                                 "LinkInTheWay", "DanglingLink"};

const char* const protectedDisk = "The disk that you are saving to is write protected";
const char* const exportRefused =
    "An export error has occurred\r\nIt is possible that you are trying to save to a write protected file";

#define DANGLING "The link points to gone, which does not exist"
const char* const notPlain = "Error 52: Not a plain file (a link, a folder or a device), not replaced: ";

struct WritePath {
    const char* name;
    const char* target;    // inside out/
    const char* title;     // of the message box
    const char* texts[7];  // what each kind of failure says, by Kind; nullptr: not a case.
};                         // A text ending in ": " goes on to name the file.

// A pipe is refused before the write, like a folder.
const WritePath writePaths[] = {
    {"LampSave", "out/old.lmp", "Tarsen Rigsmith",
     {protectedDisk, protectedDisk, "Error 61: Disk full", "Error 75: Path/File access error", nullptr, nullptr,
      "Error 53: " DANGLING}},
    {"LampSaveAs", "out/old.lmp", "Tarsen Rigsmith",
     {protectedDisk, protectedDisk, "Error 61: Disk full", "Error 75: Path/File access error", nullptr, nullptr,
      "Error 53: " DANGLING}},
    {"PatchSave", "out/old.pat", "Error",
     {"Error 70 when saving file:\r\nPermission denied", "Error 70 when saving file:\r\nPermission denied",
      "Error 61 when saving file:\r\nDisk full", "Error 75 when saving file:\r\nPath/File access error", nullptr,
      nullptr, "Error 53 when saving file:\r\n" DANGLING}},
    {"PatchSaveAs", "out/old.pat", "Error",
     {"Error 70\r\nPermission denied", "Error 70\r\nPermission denied", "Error 61\r\nDisk full",
      "Error 75\r\nPath/File access error", "Error 75\r\nPath/File access error", nullptr, "Error 53\r\n" DANGLING}},
    {"ExportLampData", "out/lamp.dat", "Tarsen Rigsmith",
     {exportRefused, exportRefused, "Error 61: Disk full", exportRefused, nullptr, nullptr, "Error 53: " DANGLING}},
    // In a read-only folder the lamp data file fails first; the copy is never reached.
    // Anything but a plain file in the copy's place is refused before the first write.
    {"ExportShowTitle", "out/showttl.dat", "Tarsen Rigsmith",
     {exportRefused, nullptr, "Error 61: Disk full: ", notPlain, notPlain, notPlain, notPlain}},
};

using Case = std::pair<Write, Kind>;

std::vector<Case> cases()
{
    std::vector<Case> all;
    for (int w = LampSave; w <= ExportShowTitle; ++w)
        for (int k = ReadOnlyFile; k <= DanglingLink; ++k)
            if (writePaths[w].texts[k] != nullptr)
                all.emplace_back(static_cast<Write>(w), static_cast<Kind>(k));
    return all;
}

class FailedWrites : public MainWindowTest, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override
    {
        for (const char* folder : {"out", "app", "src"})
            ASSERT_TRUE(QDir(dir.path()).mkdir(QLatin1String(folder)));
        state.AppPath = toPath(file("app"));
        writeBytes(file("app/showttl.dat"), {'N', 'E', 'W', 0x00, 0xFF});
        fake.settings[QStringLiteral("Export source path")] = file("src");
        // What the user has on disk before the write.
        writeBytes(file("out/old.lmp"), imageOf(namedLamp("Old lamp", 4)));
        writeBytes(file("out/old.pat"), rig::test::patternBytes(29056, 2));
        writeBytes(file("out/lamp.dat"), rig::test::patternBytes(rig::lampDataFileSize, 3));
        writeBytes(file("out/showttl.dat"), {'O', 'L', 'D'});
    }

    void TearDown() override
    {
        rig::testing::failNextWrites(0, 0);
        ::chmod(toPath(file("out")).c_str(), 0755);
    }

    // Everything in out/ with each file's bytes, so a touched file or a leftover shows up.
    std::vector<std::string> snapshot(bool withLampData) const
    {
        std::vector<std::string> all;
        for (const auto& item : std::filesystem::recursive_directory_iterator(toPath(file("out")))) {
            std::string line = item.path().string() + (item.is_directory() ? "/" : item.is_fifo() ? "|" : " ");
            if (item.is_regular_file() && (withLampData || item.path().filename() != "lamp.dat")) {
                const Bytes bytes = rig::test::readBytes(item.path().string());
                line.append(bytes.begin(), bytes.end());
            }
            all.push_back(line);
        }
        std::sort(all.begin(), all.end());
        return all;
    }
};

TEST_P(FailedWrites, KeepsTheOldFileLeavesNoTemporaryAndSaysSo)
{
    const auto [write, kind] = GetParam();
    const WritePath& path = writePaths[write];
    const QString target = file(path.target);
    const bool exporting = write == ExportLampData || write == ExportShowTitle;

    // The document as it stands when the user saves: opened from the target, then changed.
    const bool lampWrite = write == LampSave || write == LampSaveAs;
    if (!exporting) {
        openFile(target);
    }
    auto* document = lampWrite ? dynamic_cast<frmDocument*>(main.activeDocument()) : nullptr;
    frmStageScreen* screen = lampWrite || exporting ? nullptr : main.stageScreen(false);
    ASSERT_TRUE(exporting || document != nullptr || (screen != nullptr && main.activeDocument() == screen));
    if (document)
        box(*document, "txtLampName")->setText(QStringLiteral("Changed"));
    if (screen) {
        state.patch.nNextDMX = 400;
        screen->setChanged(true);
        // The pattern places lamps off the stage, which opening points out.
        ASSERT_EQ(fake.messages.size(), 1U);
        EXPECT_EQ(fake.messages[0].title, QStringLiteral("Lamps outside the stage"));
        fake.messages.clear();
    }
    ASSERT_TRUE(fake.messages.empty());

    // Make the write fail. The copy of "showttl.dat" is an export's second write, so an
    // injected failure lets the first through. A writable file in a read-only folder is
    // updated in place (and a privileged user writes there regardless), so that write is
    // made to fail as well.
    const std::string out = toPath(file("out"));
    ASSERT_TRUE(kind != ReadOnlyFile || ::chmod(toPath(target).c_str(), 0444) == 0);
    ASSERT_TRUE(kind != ReadOnlyFolder || ::chmod(out.c_str(), 0555) == 0);
    if (kind == DiskFull || kind == ReadOnlyFolder)
        rig::testing::failNextWrites(kind == DiskFull ? ENOSPC : EACCES, 1, write == ExportShowTitle ? 1 : 0);
    ASSERT_TRUE(kind != FolderInTheWay || (QFile::remove(target) && QDir().mkdir(target)));
    ASSERT_TRUE(kind != PipeInTheWay || (QFile::remove(target) && ::mkfifo(toPath(target).c_str(), 0644) == 0));
    if (kind == FolderInTheWay)
        writeBytes(target + QStringLiteral("/keep"), {'k'});
    // A link in the copy's place would have it write a file elsewhere.
    ASSERT_TRUE(kind != LinkInTheWay ||
                (QFile::remove(target) && ::symlink(toPath(file("src/victim")).c_str(), toPath(target).c_str()) == 0));
    if (kind == LinkInTheWay)
        writeBytes(file("src/victim"), {'v'});
    // A save through a link writes the file it points to; one that points nowhere is refused.
    ASSERT_TRUE(kind != DanglingLink || (QFile::remove(target) && ::symlink("gone", toPath(target).c_str()) == 0));
    const bool refusedFirst = write == ExportShowTitle && kind >= FolderInTheWay;
    const bool lampDataKept = write != ExportShowTitle || refusedFirst;
    const auto before = snapshot(lampDataKept);

    // Save As and Export ask before replacing an existing file: the user says Yes.
    const bool asks =
        (write == LampSaveAs || write == PatchSaveAs || exporting) &&
        rig::fileExists(toPath(exporting ? file("out/lamp.dat") : target));
    if (asks)
        fake.answers = {ui::Answer::Yes};
    if (write == LampSave || write == PatchSave) {
        choose("mnuFileSave");
    } else if (!exporting) {
        fake.fileAnswers = {target};
        choose("mnuFileSaveAs");
    } else {
        fake.fileAnswers = {file("out/lamp.dat")};
        EXPECT_FALSE(frmExport(state.AppPath, fake).exportLampData());
    }

    ::chmod(out.c_str(), 0755);
    if (kind == LinkInTheWay) {
        EXPECT_EQ(readBytes(file("src/victim")), Bytes{'v'});
    }
    EXPECT_EQ(snapshot(lampDataKept), before) << "an old file was touched or a temporary file left";
    if (!lampDataKept) {
        EXPECT_EQ(readBytes(file("out/lamp.dat")).size(), rig::lampDataFileSize) << "written before the copy failed";
    }
    EXPECT_TRUE(fake.answers.empty()) << "the overwrite question was not asked";
    ASSERT_EQ(fake.messages.size(), asks ? 2U : 1U);
    QString expected = QString::fromLatin1(path.texts[kind]);
    if (expected.endsWith(QLatin1String(": ")))
        expected += target;
    EXPECT_EQ(fake.messages.back().text, expected);
    EXPECT_EQ(fake.messages.back().title, QLatin1String(path.title));
    // What the user made is still unsaved and still belongs where it came from.
    if (document) {
        EXPECT_TRUE(document->changed());
        EXPECT_EQ(document->filePath(), target);
    }
    if (screen) {
        EXPECT_TRUE(screen->isChanged());
        EXPECT_EQ(screen->fileName(), target);
    }
}

std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    return std::string(writePaths[info.param.first].name) + "_" + kindNames[info.param.second];
}

INSTANTIATE_TEST_SUITE_P(EveryWritePath, FailedWrites, ::testing::ValuesIn(cases()), caseName);

}  // namespace

namespace {

// Names are the bytes the system gave: one that is not UTF-8 opens and saves as itself.
TEST_F(MainWindowTest, SavesReachFilesWhoseNamesAreNotUtf8)
{
    const std::string folder = toPath(dir.path());
    const std::string lampName = folder + "/bad\xff.lmp", patchName = folder + "/o\xfe.pat";
    rig::test::writeBytes(lampName, imageOf(namedLamp("Old lamp")));
    openFile(rig::fromPath(lampName));
    auto* document = dynamic_cast<frmDocument*>(main.activeDocument());
    ASSERT_NE(document, nullptr) << (fake.messages.empty() ? "" : fake.messages.back().text.toStdString());
    box(*document, "txtLampName")->setText(QStringLiteral("New lamp"));
    choose("mnuFileSave");
    EXPECT_EQ(rig::readLampFile(lampName).LampName.trimmed(), "New lamp");

    openFile(rig::fromPath(patchName));
    choose("mnuFileSave");
    EXPECT_EQ(rig::test::readBytes(patchName).size(), 29056u);
    EXPECT_TRUE(fake.messages.empty()) << fake.messages.back().text.toStdString();
    // Beyond what the temporary folder's own clean-up can remove.
    ::unlink(lampName.c_str());
    ::unlink(patchName.c_str());
}

}  // namespace
